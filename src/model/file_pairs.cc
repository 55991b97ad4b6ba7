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
  return AsciiLower(a) == AsciiLower(b);
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

// The names of the directory's entries ("" is the current directory).
std::vector<std::string> EntryNames(const std::string& directory) {
  std::vector<std::string> names;
  std::error_code ec;
  const fs::path dir = directory.empty() ? fs::path(".") : fs::path(directory);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end;
       it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  return names;
}

// The entries with the stem in its exact case and the extension in any
// case, in name order.
std::vector<std::string> SameStemEntries(const std::vector<std::string>& names,
                                         const NameParts& wanted) {
  std::vector<std::string> same;
  for (const std::string& name : names) {
    const NameParts parts = SplitName(name);
    if (parts.stem == wanted.stem &&
        EqualIgnoringCase(parts.extension, wanted.extension)) {
      same.push_back(name);
    }
  }
  std::sort(same.begin(), same.end());
  return same;
}

// True when an entry other than `except` has exactly this stem.
bool HasEntryWithStem(const std::vector<std::string>& names,
                      const std::string& stem, const std::string& except) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
    return name != except && SplitName(name).stem == stem;
  });
}

}  // namespace

std::string FindPairedFile(const std::string& path) {
  std::error_code ec;
  if (path.empty() || fs::exists(fs::symlink_status(path, ec))) return path;
  const size_t start = FileNameStart(path);
  const std::string directory = path.substr(0, start);
  const NameParts wanted = SplitName(path.substr(start));
  const std::vector<std::string> names = EntryNames(directory);
  const std::vector<std::string> same_stem = SameStemEntries(names, wanted);
  if (!same_stem.empty()) return directory + same_stem.front();
  const std::string match = FindExistingPath(path);
  if (match == path) return path;
  // "song.mid" is not SONG.tvx's when song.tvx lies beside them: both
  // stems are in use, so the match belongs to the other one of the twins.
  const std::string match_name = match.substr(FileNameStart(match));
  const bool twins =
      HasEntryWithStem(names, wanted.stem, "") &&
      HasEntryWithStem(names, SplitName(match_name).stem, match_name);
  return twins ? path : match;
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
