// tessavar-cli info: prints the composition information carried by a MIDI
// file.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/status.h"
#include "cli/cli_command.h"
#include "midi/composition_info.h"

namespace tessavar::cli {
namespace {

constexpr char kDescription[] =
    "Prints the composition information stored in a MIDI file (the name of\n"
    "its first track). A file just composed carries \"TVX\".";

int RunInfo(const std::string& path) {
  std::optional<std::string> info;
  try {
    info = CompInfoFromBytes(ReadWholeFile(path));
  } catch (const RunTimeError& error) {
    std::cerr << "tessavar-cli info: " << path << ": " << error.what() << '\n';
    return kExitFile;
  }
  if (!info) {
    std::cerr << "tessavar-cli info: " << path
              << ": too short to hold composition information\n";
    return kExitFile;
  }
  std::cout << *info << '\n';
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
