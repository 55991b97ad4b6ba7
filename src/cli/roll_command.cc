// tessavar-cli roll: the piano roll of a MIDI file as a picture. The drawing
// needs Qt, which the command-line composer never loads, so this runs the
// tessavar-roll program installed beside tessavar-cli.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_command.h"

extern char** environ;

namespace tessavar::cli {
namespace {

constexpr char kDrawingProgram[] = "tessavar-roll";

constexpr char kDescription[] =
    "Draws the piano roll of a MIDI file as the window shows it: time\n"
    "across with bar lines (every fourth numbered), keys up with octave\n"
    "labels, one colour per track with a legend of the track names. A MIDI\n"
    "file that cannot be read gives a picture of the reason and status 1.";

struct RollArguments {
  std::string midi_path;
  std::string picture_path;
  std::string size;
  bool force = false;
};

std::string DrawingProgramPath() {
  std::error_code error;
  std::filesystem::path self =
      std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return kDrawingProgram;
  return (self.parent_path() / kDrawingProgram).string();
}

int RunRoll(const RollArguments& args) {
  const std::string program = DrawingProgramPath();
  if (::access(program.c_str(), X_OK) != 0) {
    std::cerr << "tessavar-cli roll: " << program
              << " is missing; it is built with the desktop program\n";
    return kExitFile;
  }
  std::vector<std::string> owned = {program, args.midi_path, args.picture_path};
  if (!args.size.empty()) {
    owned.insert(owned.end(), {"--size", args.size});
  }
  if (args.force) owned.push_back("--force");
  std::vector<char*> argv;
  for (std::string& arg : owned) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(),
                    environ) != 0) {
    std::cerr << "tessavar-cli roll: cannot start " << program << "\n";
    return kExitFile;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return kExitFile;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : kExitFile;
}

std::function<int()> Setup(CLI::App& app) {
  app.description(kDescription);
  auto args = std::make_shared<RollArguments>();
  app.add_option("IN.mid", args->midi_path, "the MIDI file")->required();
  app.add_option("OUT", args->picture_path, "the picture: OUT.png or OUT.svg")
      ->required();
  app.add_option("--size", args->size,
                 "WIDTHxHEIGHT in pixels (default 1200x420)");
  app.add_flag("--force", args->force, "replace a write-protected OUT");
  return [args] { return RunRoll(*args); };
}

const bool kRegistered = RegisterCommand(
    {"roll", "draw the piano roll of a MIDI file (PNG or SVG)", Setup});

}  // namespace
}  // namespace tessavar::cli
