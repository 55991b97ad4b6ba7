#include "base/path_lookup.h"

#include <filesystem>
#include <system_error>

#include "base/text.h"

namespace tessavar {
namespace fs = std::filesystem;

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

}  // namespace tessavar
