#include "files/settings_file.h"

#include <array>
#include <exception>
#include <optional>
#include <vector>

#include "base/status.h"
#include "engine/text_number.h"
#include "files/text_fields.h"
#include "base/file_system.h"

namespace tessavar {
namespace {

// The lines of a text file, each without its CR LF or LF.
std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::array<bool*, 3> CheckMarks(Options& options) {
  return {&options.autoplay, &options.autoplay_redo, &options.lock_mapped};
}

constexpr char kRecentHeading[] = "Recent compositions ";
constexpr int kRecentVersion = 1;
constexpr size_t kRecentLine = 4;  // after the check marks and SoundFont

std::string RecentLines(const std::vector<std::string>& recent) {
  std::string bytes =
      kRecentHeading + std::to_string(kRecentVersion) + kLineEnd;
  for (const std::string& path : recent) {
    if (path.find_first_of("\r\n") == std::string::npos) {
      bytes += path + kLineEnd;
    }
  }
  return bytes;
}

// The recent list of the settings file's lines; *problem tells why there
// is none when the lines cannot be used.
std::vector<std::string> ReadRecentLines(const std::vector<std::string>& lines,
                                         std::string* problem) {
  if (lines.size() <= kRecentLine) return {};
  const std::string& heading = lines[kRecentLine];
  std::optional<double> version;
  if (heading.starts_with(kRecentHeading)) {
    version = ParseNumberField(heading.substr(sizeof(kRecentHeading) - 1));
  }
  if (!version || *version < 1) {
    *problem = "the list of recent compositions is damaged";
    return {};
  }
  if (*version > kRecentVersion) {
    *problem = "the list of recent compositions is from a newer version";
    return {};
  }
  std::vector<std::string> recent;
  for (size_t i = kRecentLine + 1; i < lines.size(); ++i) {
    if (!lines[i].empty()) recent.push_back(lines[i]);
  }
  return recent;
}

}  // namespace

void LoadIniFile(Options& options, const std::string& path) {
  std::vector<std::string> lines;
  try {
    lines = SplitLines(ReadTextFile(path));
  } catch (const std::exception&) {
    return;
  }
  std::array<bool*, 3> marks = CheckMarks(options);
  for (size_t i = 0; i < marks.size(); ++i) {
    if (i >= lines.size()) return;
    std::optional<double> value = ParseNumberField(lines[i]);
    if (!value) return;
    *marks[i] = CInt(*value) != 0;
  }
  options.soundfont = lines.size() > marks.size() ? lines[marks.size()] : "";
  options.recent_problem.clear();
  options.recent_compositions = ReadRecentLines(lines, &options.recent_problem);
}

bool SaveIniFile(const Options& options, const std::string& path) {
  Options copy = options;
  std::string bytes;
  for (bool* mark : CheckMarks(copy)) bytes += NumberLine(*mark ? 1 : 0);
  const bool soundfont =
      !options.soundfont.empty() &&
      options.soundfont.find_first_of("\r\n") == std::string::npos;
  if (soundfont || !options.recent_compositions.empty()) {
    bytes += (soundfont ? options.soundfont : "") + kLineEnd;
  }
  if (!options.recent_compositions.empty()) {
    bytes += RecentLines(options.recent_compositions);
  }
  try {
    WriteFileAtomically(LowerCaseFileName(path), bytes);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace tessavar
