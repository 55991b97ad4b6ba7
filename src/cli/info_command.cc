// tessavar-cli info: prints the composition information carried by a MIDI
// file.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "base/file_system.h"
#include "base/status.h"
#include "base/terminal_text.h"
#include "cli/cli_command.h"
#include "cli/standard_streams.h"
#include "midi/composition_info.h"
#include "midi/midi_bytes.h"

namespace tessavar::cli {
namespace {

constexpr char kDescription[] =
    "Prints the composition information stored in a MIDI file (the name of\n"
    "its first track). A file just composed carries \"TVX\". Control\n"
    "characters are shown escaped (\\x1b); a backslash is shown doubled.\n";

// The bytes that hold the information: nothing after them is read.
constexpr size_t kInfoBytes = kNameTextOffset + kMaxCompInfoLength;

int RunInfo(const std::string& name) {
  const InputFile input(name);
  const std::string bytes = ReadFilePrefix(input.path(), kInfoBytes);
  const std::string& path = name;
  if (!bytes.starts_with(midi::kHeaderChunkId)) {
    return ReportError("info",
                       Status(kErrInvalidCall, path, 0, "not a MIDI file"));
  }
  // The information sits where the program's writer puts it: the name event
  // that opens the first track.
  const std::optional<std::string> info = CompInfoFromBytes(bytes);
  if (!BytesWithCompInfo(bytes, {}) || !info) {
    return ReportError("info",
                       Status(kErrInvalidCall, path, 0,
                              "a MIDI file without composition information"));
  }
  std::cout << TerminalText(*info) << '\n';
  return kExitOk;
}

std::function<int()> Setup(CLI::App& app) {
  app.description(kDescription);
  auto path = std::make_shared<std::string>();
  app.add_option("FILE.mid", *path, "the MIDI file ('-' reads standard input)")
      ->required()
      ->type_name("FILE");
  return [path] { return RunInfo(*path); };
}

const bool kRegistered = RegisterCommand(
    {"info", "print the composition information of a MIDI file", Setup});

}  // namespace
}  // namespace tessavar::cli
