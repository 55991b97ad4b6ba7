#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <mutex>
#include <optional>
#include <unordered_set>
#include <vector>

#include "base/path_lookup.h"
#include "base/status.h"
#include "base/temporary_files.h"

namespace tessavar {
namespace fs = std::filesystem;
namespace {

// Links followed before giving up, as the kernel does.
constexpr int kMaxLinkDepth = 40;

std::string LexicallyAbsolute(const std::string& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  return (ec ? fs::path(path) : absolute).lexically_normal().string();
}

// The directories whose leftovers of killed writers this process has
// removed: each once, when the first file is written there, so that a
// batch of thousands of files lists its directory once.
class CleanedDirectories {
 public:
  static CleanedDirectories& Instance() {
    static CleanedDirectories directories;
    return directories;
  }

  void CleanOnce(const std::string& directory) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!cleaned_.insert(directory).second) return;
    }
    RemoveStaleTemporaries(directory);
  }

 private:
  CleanedDirectories() = default;
  std::mutex mutex_;
  std::unordered_set<std::string> cleaned_;
};

// An attribute that cannot be given to the new file is left behind (one
// only the kernel or a privileged user may set); a full disk is an error.
bool AttributeCanBeLeft(int errno_value) {
  return errno_value != ENOSPC && errno_value != EDQUOT;
}

// The names of a NUL-separated list.
std::vector<std::string> SplitNames(const std::string& list) {
  std::vector<std::string> names;
  for (size_t start = 0; start < list.size();) {
    const size_t end = list.find('\0', start);
    const size_t stop = end == std::string::npos ? list.size() : end;
    if (stop > start) names.push_back(list.substr(start, stop - start));
    start = stop + 1;
  }
  return names;
}

// A value of getxattr and listxattr: sized first, then read; nullopt when
// it cannot be read (or changed size meanwhile).
template <typename Get>
std::optional<std::string> SizedValue(Get get) {
  const ssize_t size = get(nullptr, 0);
  if (size < 0) return std::nullopt;
  std::string value(static_cast<size_t>(size), '\0');
  const ssize_t got = get(value.data(), value.size());
  if (got < 0) return std::nullopt;
  value.resize(static_cast<size_t>(got));
  return value;
}

}  // namespace

std::string ResolveOutputPath(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(current, ec))) return current;
    fs::path link = fs::read_symlink(current, ec);
    if (ec) return current;
    current = link.is_absolute() ? link.string()
                                 : DirectoryOf(current) + link.string();
  }
  throw RunTimeError(Status(kErrPathFileAccess, path, 0,
                            ErrorMessage(kErrPathFileAccess) +
                                " (too many levels of symbolic links)"));
}

bool IsSameFile(const std::string& output, const std::string& input) {
  const std::string existing_input = FindExistingPath(input);
  struct stat out_stat = {};
  struct stat in_stat = {};
  if (::stat(output.c_str(), &out_stat) == 0 &&
      ::stat(existing_input.c_str(), &in_stat) == 0) {
    return out_stat.st_dev == in_stat.st_dev &&
           out_stat.st_ino == in_stat.st_ino;
  }
  return LexicallyAbsolute(ResolveOutputPath(output)) ==
         LexicallyAbsolute(ResolveOutputPath(existing_input));
}

AtomicFile::AtomicFile(const std::string& path,
                       const std::vector<std::string>& inputs,
                       Durability durability, WriteProtection protection)
    : path_(path), durability_(durability) {
  if (path.empty()) throw RunTimeError(kErrPathNotFound);
  target_ = ResolveOutputPath(path);
  struct stat existing = {};
  if (::stat(target_.c_str(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) {
      throw RunTimeError(
          Status(kErrPathFileAccess, path, 0,
                 ErrorMessage(kErrPathFileAccess) + " (not a regular file)"));
    }
    existing_ = existing;
    CheckWritable(protection);
  }
  for (const std::string& input : inputs) {
    if (!input.empty() && IsSameFile(path, input)) {
      throw RunTimeError(Status(kErrPathFileAccess, path, 0,
                                ErrorMessage(kErrPathFileAccess) +
                                    " (the output is also an input: " + input +
                                    ")"));
    }
  }
  CleanedDirectories::Instance().CleanOnce(DirectoryOf(target_));
  fd_ = CreateTemporaryFile(target_, &temporary_, &registry_slot_);
  if (fd_ < 0) {
    temporary_.clear();
    // A file that cannot be created for want of its directory.
    if (errno == ENOENT) throw RunTimeError(kErrPathNotFound, path);
    Fail(errno);
  }
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Fail(int errno_value) const {
  throw RunTimeError(ErrnoStatus(errno_value, path_));
}

void AtomicFile::CheckWritable(WriteProtection protection) const {
  if (protection == WriteProtection::kOverride) return;
  // As the shell's ">" decides: by the effective ids, so root may write.
  if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) == 0 ||
      errno != EACCES) {
    return;
  }
  throw RunTimeError(Status(
      kErrPermissionDenied, path_, 0,
      ErrorMessage(kErrPermissionDenied) + " (the file is write-protected)"));
}

void AtomicFile::CopyExtendedAttributes() const {
  const char* target = target_.c_str();
  const std::optional<std::string> list = SizedValue(
      [&](char* data, size_t size) { return ::listxattr(target, data, size); });
  if (!list) return;  // a file system without them
  for (const std::string& name : SplitNames(*list)) {
    const std::optional<std::string> value =
        SizedValue([&](char* data, size_t size) {
          return ::getxattr(target, name.c_str(), data, size);
        });
    if (!value) continue;
    if (::fsetxattr(fd_, name.c_str(), value->data(), value->size(), 0) != 0 &&
        !AttributeCanBeLeft(errno)) {
      Fail(errno);
    }
  }
}

void AtomicFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  TemporaryFiles::Instance().Remove(registry_slot_);
  registry_slot_ = -1;
}

void AtomicFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

void AtomicFile::WriteAt(int64_t offset, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::pwrite(fd_, bytes.data(), bytes.size(), offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    bytes.remove_prefix(static_cast<size_t>(written));
    offset += written;
  }
}

void AtomicFile::Commit() {
  if (existing_) {
    // Root keeps the owner too; for anyone else this fails harmlessly.
    [[maybe_unused]] const int kept_owner =
        ::fchown(fd_, existing_->st_uid, existing_->st_gid);
    CopyExtendedAttributes();
    if (::fchmod(fd_, existing_->st_mode & 07777) != 0) Fail(errno);
  }
  const bool flush_now = existing_ || durability_ == Durability::kFlushEach;
  if (flush_now && ::fsync(fd_) != 0 && errno != EINVAL) Fail(errno);
  // A second descriptor keeps the file's lock until the rename, so that no
  // other run takes it for a dead writer's leftover; closing the first one
  // still reports a failed write before anything is replaced.
  const int lock_holder = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  const int fd = fd_;
  fd_ = lock_holder;
  if (::close(fd) != 0) Fail(errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(errno);
  temporary_.clear();
  TemporaryFiles::Instance().Remove(registry_slot_);
  registry_slot_ = -1;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace tessavar
