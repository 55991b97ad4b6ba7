#include "files/settings_file.h"

#include <exception>
#include <optional>

#include "engine/text_number.h"
#include "files/text_fields.h"

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

constexpr char kRecentHeading[] = "Recent compositions ";
constexpr int kRecentVersion = 1;
constexpr size_t kRecentLine = kSettingsCheckMarks + 1;

bool FitsOnOneLine(const std::string& text) {
  return text.find_first_of("\r\n") == std::string::npos;
}

std::string RecentLines(const std::vector<std::string>& recent) {
  std::string bytes = kRecentHeading + std::to_string(kRecentVersion) + kLineEnd;
  for (const std::string& path : recent) {
    if (FitsOnOneLine(path)) bytes += path + kLineEnd;
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

SettingsValues ParseSettings(const std::string& bytes) {
  SettingsValues values;
  std::vector<std::string> lines = SplitLines(bytes);
  for (size_t i = 0; i < kSettingsCheckMarks; ++i) {
    if (i >= lines.size()) return values;
    std::optional<double> value = ParseNumberField(lines[i]);
    if (!value) return values;
    values.check_marks.push_back(CInt(*value) != 0);
  }
  if (lines.size() > kSettingsCheckMarks) {
    values.soundfont = lines[kSettingsCheckMarks];
  }
  values.recent = ReadRecentLines(lines, &values.recent_problem);
  return values;
}

SettingsValues ReadSettingsFile(const std::string& path) {
  try {
    return ParseSettings(ReadTextFile(path));
  } catch (const std::exception&) {
    return {};
  }
}

std::string SettingsBytes(const SettingsValues& values) {
  std::string bytes;
  for (bool mark : values.check_marks) bytes += NumberLine(mark ? 1 : 0);
  const bool soundfont =
      !values.soundfont.empty() && FitsOnOneLine(values.soundfont);
  if (soundfont || !values.recent.empty()) {
    bytes += (soundfont ? values.soundfont : "") + kLineEnd;
  }
  if (!values.recent.empty()) bytes += RecentLines(values.recent);
  return bytes;
}

}  // namespace tessavar
