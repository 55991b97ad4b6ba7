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
  if (!values.soundfont.empty() &&
      values.soundfont.find_first_of("\r\n") == std::string::npos) {
    bytes += values.soundfont + kLineEnd;
  }
  return bytes;
}

}  // namespace tessavar
