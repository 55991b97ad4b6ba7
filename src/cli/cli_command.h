// The subcommands of tessavar-cli. Each subcommand lives in a file of its
// own and registers itself here, so the dispatcher needs no list of them.
#ifndef TESSAVAR_CLI_CLI_COMMAND_H_
#define TESSAVAR_CLI_CLI_COMMAND_H_

#include <functional>
#include <string>
#include <vector>

#include "base/status.h"

namespace CLI {
class App;
}  // namespace CLI

namespace tessavar::cli {

// One exit status per kind of failure, in every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitInvalid = 1;  // a parameter check failed
inline constexpr int kExitFile = 2;     // a file or the arguments are wrong
// 128 + the signal number, as shells report a process ended by a signal.
inline constexpr int kExitSignalBase = 128;

inline constexpr char kExitStatusHelp[] =
    "Exit status: 0 success; 1 a parameter check failed; 2 a file could not\n"
    "be read or written, or the arguments are wrong; 128+N interrupted by\n"
    "signal N (130 for Ctrl-C, 143 for SIGTERM).";

// Adds its options to the subcommand's parser and returns what runs once
// the command line has been parsed; the action returns the exit status.
using CommandSetup = std::function<std::function<int()>(CLI::App&)>;

struct CliCommand {
  std::string name;     // "compose"
  std::string summary;  // one line for the overview
  CommandSetup setup;
};

// Adds a command to the registry; returns true so that it can initialise a
// file-local constant.
bool RegisterCommand(CliCommand command);
const std::vector<CliCommand>& RegisteredCommands();

// Prints "tessavar-cli COMMAND: FILE[, line N]: TEXT" (without the file
// part when the status names none), escaped for a terminal, and returns
// kExitFile.
int ReportError(const std::string& command, const Status& status);

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_CLI_COMMAND_H_
