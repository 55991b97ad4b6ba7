// tessavar-cli info: prints the composition information carried by a MIDI
// file.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "base/status.h"
#include "cli/cli_command.h"
#include "midi/composition_info.h"

namespace tessavar::cli {
namespace {

constexpr char kDescription[] =
    "Prints the composition information stored in a MIDI file (the name of\n"
    "its first track). A file just composed carries \"TVX\". Control\n"
    "characters are shown escaped (\\x1b); a backslash is shown doubled.\n";

constexpr char kMidiHeaderId[] = "MThd";
// The bytes that hold the information: nothing after them is read.
constexpr size_t kInfoBytes = kNameTextOffset + kMaxCompInfoLength;

// The length of the UTF-8 sequence that starts text, 0 when it is not a
// valid one or encodes a control character (C1 controls included).
size_t PrintableSequenceLength(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead >= 0x20 && lead < 0x7F) return 1;
  size_t length = lead >= 0xF0 && lead < 0xF5   ? 4
                  : lead >= 0xE0 && lead < 0xF0 ? 3
                  : lead >= 0xC2 && lead < 0xE0 ? 2
                                                : 0;
  if (length == 0 || text.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  const bool c1_control = lead == 0xC2 && byte(1) < 0xA0;
  const bool overlong = (lead == 0xE0 && byte(1) < 0xA0) ||
                        (lead == 0xF0 && byte(1) < 0x90);
  return c1_control || overlong ? 0 : length;
}

// The text safe for a terminal: control characters and bytes that are not
// UTF-8 as \xNN, a backslash doubled.
std::string EscapedText(std::string_view text) {
  std::string shown;
  while (!text.empty()) {
    size_t length = PrintableSequenceLength(text);
    if (text[0] == '\\') {
      shown += "\\\\";
      length = 1;
    } else if (length == 0) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x",
                    static_cast<unsigned char>(text[0]));
      shown += escape;
      length = 1;
    } else {
      shown += text.substr(0, length);
    }
    text.remove_prefix(length);
  }
  return shown;
}

int RunInfo(const std::string& path) {
  const std::string bytes = ReadFilePrefix(path, kInfoBytes);
  if (!bytes.starts_with(kMidiHeaderId)) {
    return ReportError("info",
                       Status(kErrInvalidCall, path, 0, "not a MIDI file"));
  }
  // The information sits where the program's writer puts it: the name event
  // that opens the first track.
  const std::optional<std::string> info = CompInfoFromBytes(bytes);
  if (!BytesWithCompInfo(bytes, {}) || !info) {
    return ReportError(
        "info", Status(kErrInvalidCall, path, 0,
                       "a MIDI file without composition information"));
  }
  std::cout << EscapedText(*info) << '\n';
  return kExitOk;
}

std::function<int()> Setup(CLI::App& app) {
  app.description(kDescription);
  auto path = std::make_shared<std::string>();
  app.add_option("FILE.mid", *path, "the MIDI file")->required();
  return [path] { return RunInfo(*path); };
}

const bool kRegistered = RegisterCommand(
    {"info", "print the composition information of a MIDI file", Setup});

}  // namespace
}  // namespace tessavar::cli
