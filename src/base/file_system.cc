#include "base/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

#include "base/atomic_file.h"
#include "base/status.h"
#include "base/text.h"

namespace tessavar {
namespace fs = std::filesystem;
namespace {

constexpr size_t kReadBlockBytes = 65536;
constexpr size_t kBytesPerMegabyte = size_t{1} << 20;

// "300 MB": a size in megabytes, rounded up.
std::string MegabyteText(uint64_t bytes) {
  // Below a megabyte in kilobytes, so that a limit of 512 KB reads as such.
  constexpr uint64_t kBytesPerKilobyte = 1024;
  if (bytes < kBytesPerMegabyte) {
    return std::to_string((bytes + kBytesPerKilobyte - 1) / kBytesPerKilobyte) +
           " KB";
  }
  return std::to_string((bytes + kBytesPerMegabyte - 1) / kBytesPerMegabyte) +
         " MB";
}

// An open regular file for reading; errors name the path as given.
class ReadableFile {
 public:
  explicit ReadableFile(const std::string& path) : path_(path) {
    const std::string actual = FindExistingPath(path);
    if (actual.empty()) throw RunTimeError(kErrFileNotFound, path);
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    fd_ = ::open(actual.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) throw RunTimeError(ErrnoStatus(errno, path));
    struct stat info = {};
    if (::fstat(fd_, &info) != 0) Close(kErrDeviceIo);
    if (S_ISDIR(info.st_mode)) Close(kErrPathFileAccess);
    if (!S_ISREG(info.st_mode)) {
      ::close(fd_);
      throw RunTimeError(NotRegularFile(path));
    }
    size_ = static_cast<uint64_t>(info.st_size);
  }
  ~ReadableFile() { ::close(fd_); }
  ReadableFile(const ReadableFile&) = delete;
  ReadableFile& operator=(const ReadableFile&) = delete;

  // The size the file system gives.
  uint64_t size() const { return size_; }

  // Up to max_bytes more bytes, block by block, with room for `expected`
  // (at most max_bytes) made at once.
  std::string Read(size_t max_bytes, uint64_t expected) {
    std::string bytes;
    bytes.reserve(std::min<uint64_t>(expected, max_bytes));
    char block[kReadBlockBytes];
    while (bytes.size() < max_bytes) {
      const size_t wanted = std::min(sizeof block, max_bytes - bytes.size());
      const ssize_t got = ::read(fd_, block, wanted);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) throw RunTimeError(kErrDeviceIo, path_);
      if (got == 0) break;
      bytes.append(block, static_cast<size_t>(got));
    }
    return bytes;
  }

 private:
  [[noreturn]] void Close(int number) {
    ::close(fd_);
    throw RunTimeError(number, path_);
  }

  std::string path_;
  int fd_ = -1;
  uint64_t size_ = 0;
};

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  return ReadWholeFileUpTo(path, kMaxReadFileBytes);
}

std::string ReadWholeFileUpTo(const std::string& path, size_t max_bytes) {
  ReadableFile file(path);
  if (file.size() > max_bytes) {
    throw RunTimeError(FileTooLarge(path, file.size(), max_bytes));
  }
  std::string bytes = file.Read(max_bytes, file.size());
  // One that grew while being read.
  if (bytes.size() == max_bytes && !file.Read(1, 0).empty()) {
    throw RunTimeError(FileTooLarge(path, max_bytes + 1, max_bytes));
  }
  return bytes;
}

std::string ReadFilePrefix(const std::string& path, size_t max_bytes) {
  ReadableFile file(path);
  return file.Read(max_bytes, std::min<uint64_t>(file.size(), max_bytes));
}

Status FileTooLarge(const std::string& path, uint64_t size, size_t max_bytes) {
  // Named in the detail too: some places show only its first line.
  return Status(kErrOverflow, path, 0,
                ErrorMessage(kErrOverflow) + " (" +
                    path.substr(FileNameStart(path)) + " has " +
                    MegabyteText(size) + "; files of at most " +
                    MegabyteText(max_bytes) + " are read)");
}

Status NotRegularFile(const std::string& path) {
  return Status(kErrPathFileAccess, path, 0,
                ErrorMessage(kErrPathFileAccess) + " (not a regular file)");
}

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const std::vector<std::string>& inputs,
                         Durability durability, WriteProtection protection) {
  AtomicFile file(path, inputs, durability, protection);
  file.Write(bytes);
  file.Commit();
}

void CopyFileAtomically(const std::string& from, const std::string& to) {
  WriteFileAtomically(to, ReadWholeFile(from));
}

void CreateParentDirectory(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return;
  std::string directory = path.substr(0, slash + 1);
  std::error_code ec;
  fs::directory_iterator it(directory, ec);
  if (!ec && it != fs::directory_iterator()) return;  // exists, not empty
  fs::create_directory(directory, ec);  // one level; failures are ignored
}

}  // namespace tessavar
