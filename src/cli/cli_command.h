// The subcommands of tessavar-cli. Each subcommand lives in a file of its
// own and registers itself here, so the dispatcher needs no list of them.
#ifndef TESSAVAR_CLI_CLI_COMMAND_H_
#define TESSAVAR_CLI_CLI_COMMAND_H_

#include <functional>
#include <string>
#include <vector>

#include "base/status.h"

namespace tessavar::cli {

// Exit statuses, the same in every command.
inline constexpr int kExitOk = 0;
// A parameter check of the composition failed.
inline constexpr int kExitCheckFailed = 1;
// Wrong arguments, a file that cannot be read or written, or any other
// failure.
inline constexpr int kExitFailure = 2;

struct CliCommand {
  std::string name;     // "compose"
  std::string summary;  // one line for the overview
  std::string usage;    // full help text for "tessavar-cli NAME --help"
  // Receives the arguments after the command name; returns the exit status.
  std::function<int(const std::vector<std::string>&)> run;
};

// Adds a command to the registry; returns true so that it can initialise a
// file-local constant.
bool RegisterCommand(CliCommand command);
const std::vector<CliCommand>& RegisteredCommands();

// Runs a command with the arguments after its name: any exception it lets
// out becomes a message on standard error and kExitFailure.
int RunCommand(const CliCommand& command,
               const std::vector<std::string>& args);

// Prints "tessavar-cli COMMAND: FILE[, line N]: TEXT" (without the file
// part when the status names none) and returns kExitFailure.
int ReportError(const std::string& command, const Status& status);

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_CLI_COMMAND_H_
