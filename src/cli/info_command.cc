// tessavar-cli info: prints the composition information carried by a MIDI
// file.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "cli/cli_command.h"
#include "midi/composition_info.h"
#include "base/file_system.h"

namespace tessavar::cli {
namespace {

constexpr char kUsage[] =
    "usage: tessavar-cli info FILE.mid\n\n"
    "Prints the composition information stored in a MIDI file (the name of\n"
    "its first track). A file just composed carries \"TVX\".\n";

int RunInfo(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string& path = args[0];
  std::optional<std::string> info;
  try {
    info = CompInfoFromBytes(ReadWholeFile(path));
  } catch (const RunTimeError& error) {
    std::cerr << "tessavar-cli: " << path << ": " << error.what() << '\n';
    return 1;
  }
  if (!info) {
    std::cerr << "tessavar-cli: " << path
              << ": too short to hold composition information\n";
    return 1;
  }
  std::cout << *info << '\n';
  return 0;
}

const bool kRegistered =
    RegisterCommand({"info", "print the composition information of a MIDI file",
                     kUsage, RunInfo});

}  // namespace
}  // namespace tessavar::cli
