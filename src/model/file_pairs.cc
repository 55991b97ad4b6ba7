#include "model/file_pairs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/file_system.h"
#include "base/text.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;

constexpr char kMidiExtension[] = ".mid";

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](unsigned char x, unsigned char y) {
                      return std::tolower(x) == std::tolower(y);
                    });
}

// A file name split at its last "." (the extension keeps the dot).
struct NameParts {
  std::string stem;
  std::string extension;
};

NameParts SplitName(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return {name, ""};
  return {name.substr(0, dot), name.substr(dot)};
}

// The entries of the directory with the stem in its exact case and the
// extension in any case, in name order.
std::vector<std::string> SameStemEntries(const std::string& directory,
                                         const NameParts& wanted) {
  std::vector<std::string> names;
  std::error_code ec;
  const fs::path dir = directory.empty() ? fs::path(".") : fs::path(directory);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const NameParts parts = SplitName(name);
    if (parts.stem == wanted.stem &&
        EqualIgnoringCase(parts.extension, wanted.extension)) {
      names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::string FindPairedFile(const std::string& path) {
  std::error_code ec;
  if (path.empty() || fs::exists(fs::symlink_status(path, ec))) return path;
  const size_t start = FileNameStart(path);
  const std::string directory = path.substr(0, start);
  const std::vector<std::string> same_stem =
      SameStemEntries(directory, SplitName(path.substr(start)));
  if (!same_stem.empty()) return directory + same_stem.front();
  return FindExistingPath(path);
}

bool ExactFileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

bool IsMidiFileName(const std::string& path) {
  const std::string name = path.substr(FileNameStart(path));
  return EqualIgnoringCase(SplitName(name).extension, kMidiExtension);
}

}  // namespace tessavar
