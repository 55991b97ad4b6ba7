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
}

bool SaveIniFile(const Options& options, const std::string& path) {
  Options copy = options;
  std::string bytes;
  for (bool* mark : CheckMarks(copy)) bytes += NumberLine(*mark ? 1 : 0);
  if (!options.soundfont.empty() &&
      options.soundfont.find_first_of("\r\n") == std::string::npos) {
    bytes += options.soundfont + kLineEnd;
  }
  try {
    WriteFileAtomically(LowerCaseFileName(path), bytes);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace tessavar
