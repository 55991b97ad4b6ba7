#include "base/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "base/status.h"
#include "base/text.h"

namespace tessavar {
namespace fs = std::filesystem;
namespace {

std::string ToLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return text;
}

[[noreturn]] void ThrowErrno(int errno_value) {
  throw RunTimeError(ErrorNumberFromErrno(errno_value));
}

// Writes all bytes to a file descriptor, retrying short writes.
void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      ThrowErrno(errno);
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace

std::string LowerCaseFileName(const std::string& path) {
  size_t start = FileNameStart(path);
  return path.substr(0, start) + ToLower(path.substr(start));
}

std::string FindExistingPath(const std::string& path) {
  std::error_code ec;
  if (path.empty() || fs::exists(path, ec)) return path;
  size_t start = FileNameStart(path);
  std::string directory = path.substr(0, start);
  std::string wanted = ToLower(path.substr(start));
  fs::path dir = directory.empty() ? fs::path(".") : fs::path(directory);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (ToLower(name) == wanted) return directory + name;
  }
  return path;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(FindExistingPath(path), ec);
}

std::string ProgramFileOnDisk(const std::string& path) {
  std::string lower = LowerCaseFileName(path);
  if (FileExists(lower)) return FindExistingPath(lower);
  return FindExistingPath(path);
}

std::string ReadWholeFile(const std::string& path) {
  std::string actual = FindExistingPath(path);
  std::error_code ec;
  if (actual.empty() || !fs::exists(actual, ec)) {
    throw RunTimeError(kErrFileNotFound);
  }
  if (fs::is_directory(actual, ec)) throw RunTimeError(kErrPathFileAccess);
  std::ifstream in(actual, std::ios::binary);
  if (!in) ThrowErrno(errno);
  // Block by block: MIDI files of long pieces run to megabytes.
  std::string bytes;
  const std::uintmax_t size = fs::file_size(actual, ec);
  if (!ec) bytes.reserve(static_cast<size_t>(size));
  char block[65536];
  while (in.read(block, sizeof block) || in.gcount() > 0) {
    bytes.append(block, static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) throw RunTimeError(kErrDeviceIo);
  return bytes;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  if (path.empty()) throw RunTimeError(kErrPathNotFound);
  size_t start = FileNameStart(path);
  std::string pattern =
      path.substr(0, start) + "." + path.substr(start) + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  // A file that cannot be created for want of its directory: path not found.
  if (fd < 0) {
    if (errno == ENOENT) throw RunTimeError(kErrPathNotFound);
    ThrowErrno(errno);
  }
  std::string temporary(name.data());
  try {
    WriteAll(fd, bytes);
    ::fchmod(fd, 0644);
    if (::fsync(fd) != 0 && errno != EINVAL) ThrowErrno(errno);
    if (::close(fd) != 0) {
      fd = -1;
      ThrowErrno(errno);
    }
    fd = -1;
    if (::rename(temporary.c_str(), path.c_str()) != 0) ThrowErrno(errno);
  } catch (...) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary.c_str());
    throw;
  }
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
