#include "files/settings_file.h"

#include <optional>

#include "base/status.h"
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
// Older readers take the lines after the recent list for compositions, so
// the playback output follows it under a heading no path can have.
constexpr char kPlaybackHeading[] = "Playback output ";
constexpr int kPlaybackVersion = 1;

bool FitsOnOneLine(const std::string& text) {
  return text.find_first_of("\r\n") == std::string::npos;
}

std::string OneLine(const std::string& text) {
  return FitsOnOneLine(text) ? text : std::string();
}

// The version of a heading line ("Recent compositions 1"), if it is one.
std::optional<double> HeadingVersion(const std::string& line,
                                     const std::string& heading) {
  if (!line.starts_with(heading)) return std::nullopt;
  return ParseNumberField(line.substr(heading.size()));
}

std::string HeadingLine(const std::string& heading, int version) {
  return heading + std::to_string(version) + kLineEnd;
}

std::string RecentLines(const std::vector<std::string>& recent) {
  std::string bytes = HeadingLine(kRecentHeading, kRecentVersion);
  for (const std::string& path : recent) {
    if (FitsOnOneLine(path)) bytes += path + kLineEnd;
  }
  return bytes;
}

// Where the playback output's heading is (lines.size() when there is none).
size_t PlaybackLine(const std::vector<std::string>& lines) {
  for (size_t i = kRecentLine + 1; i < lines.size(); ++i) {
    std::optional<double> version = HeadingVersion(lines[i], kPlaybackHeading);
    if (version && *version >= 1) return i;
  }
  return lines.size();
}

// The recent list of the settings file's lines before `end`; *problem tells
// why there is none when the lines cannot be used.
std::vector<std::string> ReadRecentLines(const std::vector<std::string>& lines,
                                         size_t end, std::string* problem) {
  if (lines.size() <= kRecentLine) return {};
  std::optional<double> version =
      HeadingVersion(lines[kRecentLine], kRecentHeading);
  if (!version || *version < 1) {
    *problem = "the list of recent compositions is damaged";
    return {};
  }
  if (*version > kRecentVersion) {
    *problem = "the list of recent compositions is from a newer version";
    return {};
  }
  std::vector<std::string> recent;
  for (size_t i = kRecentLine + 1; i < end; ++i) {
    if (!lines[i].empty()) recent.push_back(lines[i]);
  }
  return recent;
}

// A later version may add lines; the first two keep their meaning.
void ReadPlaybackLines(const std::vector<std::string>& lines, size_t heading,
                       SettingsValues& values) {
  if (heading + 1 < lines.size()) values.midi_output = lines[heading + 1];
  if (heading + 2 < lines.size()) values.audio_driver = lines[heading + 2];
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
  const size_t playback = PlaybackLine(lines);
  values.recent = ReadRecentLines(lines, playback, &values.recent_problem);
  ReadPlaybackLines(lines, playback, values);
  return values;
}

SettingsValues ReadSettingsFile(const std::string& path) {
  try {
    return ParseSettings(ReadTextFile(path));
  } catch (const RunTimeError&) {
    return {};
  }
}

std::string SettingsBytes(const SettingsValues& values) {
  std::string bytes;
  for (bool mark : values.check_marks) bytes += NumberLine(mark ? 1 : 0);
  const std::string soundfont = OneLine(values.soundfont);
  const std::string midi_output = OneLine(values.midi_output);
  const std::string audio_driver = OneLine(values.audio_driver);
  const bool playback = !midi_output.empty() || !audio_driver.empty();
  const bool recent = !values.recent.empty() || playback;
  if (!soundfont.empty() || recent) bytes += soundfont + kLineEnd;
  if (recent) bytes += RecentLines(values.recent);
  if (playback) {
    bytes += HeadingLine(kPlaybackHeading, kPlaybackVersion) + midi_output +
             kLineEnd + audio_driver + kLineEnd;
  }
  return bytes;
}

}  // namespace tessavar
