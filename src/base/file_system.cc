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

// Closes a file descriptor when it goes out of scope.
struct FileCloser {
  int fd;
  ~FileCloser() { ::close(fd); }
};

}  // namespace

std::string DirectoryOf(const std::string& path) {
  return path.substr(0, FileNameStart(path));
}

std::string LowerCaseFileName(const std::string& path) {
  size_t start = FileNameStart(path);
  return path.substr(0, start) + AsciiLower(path.substr(start));
}

std::string FindExistingPath(const std::string& path) {
  std::error_code ec;
  if (path.empty() || fs::exists(path, ec)) return path;
  size_t start = FileNameStart(path);
  std::string directory = path.substr(0, start);
  std::string wanted = AsciiLower(path.substr(start));
  // Of several case-insensitive matches, the lower-case name the program
  // writes wins; otherwise the first in directory order.
  if (fs::exists(directory + wanted, ec)) return directory + wanted;
  fs::path dir = directory.empty() ? fs::path(".") : fs::path(directory);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (AsciiLower(name) == wanted) return directory + name;
  }
  return path;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(FindExistingPath(path), ec);
}

std::string ProgramFileOnDisk(const std::string& path) {
  return FindExistingPath(path);
}

std::string ReadWholeFile(const std::string& path) {
  return ReadFilePrefix(path, std::numeric_limits<size_t>::max());
}

std::string ReadFilePrefix(const std::string& path, size_t max_bytes) {
  std::string actual = FindExistingPath(path);
  if (actual.empty()) throw RunTimeError(kErrFileNotFound, path);
  // Non-blocking, so that opening a FIFO does not wait for a writer.
  int fd = ::open(actual.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw RunTimeError(ErrnoStatus(errno, path));
  FileCloser closer{fd};
  struct stat info = {};
  if (::fstat(fd, &info) != 0) throw RunTimeError(kErrDeviceIo, path);
  if (S_ISDIR(info.st_mode)) throw RunTimeError(kErrPathFileAccess, path);
  if (!S_ISREG(info.st_mode)) throw RunTimeError(NotRegularFile(path));
  // Block by block: MIDI files of long pieces run to megabytes.
  std::string bytes;
  bytes.reserve(std::min(static_cast<size_t>(info.st_size), max_bytes));
  char block[65536];
  while (bytes.size() < max_bytes) {
    size_t wanted = std::min(sizeof block, max_bytes - bytes.size());
    ssize_t got = ::read(fd, block, wanted);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw RunTimeError(kErrDeviceIo, path);
    if (got == 0) break;
    bytes.append(block, static_cast<size_t>(got));
  }
  return bytes;
}

Status NotRegularFile(const std::string& path) {
  return Status(kErrPathFileAccess, path, 0,
                ErrorMessage(kErrPathFileAccess) + " (not a regular file)");
}

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const std::vector<std::string>& inputs,
                         Durability durability) {
  AtomicFile file(path, inputs, durability);
  file.Write(bytes);
  file.Commit();
}

void CopyFileAtomically(const std::string& from, const std::string& to) {
  WriteFileAtomically(to, ReadWholeFile(from));
}

void CheckForNewDirectory(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return;
  std::string directory = path.substr(0, slash + 1);
  std::error_code ec;
  fs::directory_iterator it(directory, ec);
  if (!ec && it != fs::directory_iterator()) return;  // exists, not empty
  fs::create_directory(directory, ec);  // one level; failures are ignored
}

}  // namespace tessavar
