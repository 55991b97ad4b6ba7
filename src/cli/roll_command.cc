// tessavar-cli roll: the piano roll of a MIDI file as a picture. The drawing
// needs Qt, which the command-line composer never loads, so this runs the
// tessavar-roll program installed beside tessavar-cli.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_command.h"

extern char** environ;

namespace tessavar::cli {
namespace {

constexpr int kExitFileError = 2;
constexpr char kDrawingProgram[] = "tessavar-roll";

constexpr char kUsage[] =
    "usage: tessavar-cli roll IN.mid OUT.png|OUT.svg [--size WIDTHxHEIGHT]\n"
    "\n"
    "Draws the piano roll of a MIDI file as the window shows it: time\n"
    "across with bar lines (every fourth numbered), keys up with octave\n"
    "labels, one colour per track with a legend of the track names.\n"
    "\n"
    "Options:\n"
    "  --size WxH  the picture's size in pixels (default 1200x420)\n"
    "  --help      this text\n"
    "\n"
    "Exit status: 0 when the picture was written, 1 when the MIDI file\n"
    "cannot be read (the picture then shows the reason), 2 for a wrong\n"
    "command line or a picture that cannot be written.\n";

std::string DrawingProgramPath() {
  std::error_code error;
  std::filesystem::path self =
      std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return kDrawingProgram;
  return (self.parent_path() / kDrawingProgram).string();
}

int RunRoll(const std::vector<std::string>& args) {
  const std::string program = DrawingProgramPath();
  if (::access(program.c_str(), X_OK) != 0) {
    std::cerr << "tessavar-cli roll: " << program
              << " is missing; it is built with the desktop program\n";
    return kExitFileError;
  }
  std::vector<std::string> owned = {program};
  owned.insert(owned.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : owned) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(),
                    environ) != 0) {
    std::cerr << "tessavar-cli roll: cannot start " << program << "\n";
    return kExitFileError;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return kExitFileError;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : kExitFileError;
}

const bool kRegistered =
    RegisterCommand({"roll", "draw the piano roll of a MIDI file (PNG or SVG)",
                     kUsage, RunRoll});

}  // namespace
}  // namespace tessavar::cli
