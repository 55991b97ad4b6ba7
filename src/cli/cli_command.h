// The subcommands of tessavar-cli. Each subcommand lives in a file of its
// own and registers itself here, so the dispatcher needs no list of them.
#ifndef TESSAVAR_CLI_CLI_COMMAND_H_
#define TESSAVAR_CLI_CLI_COMMAND_H_

#include <functional>
#include <string>
#include <vector>

namespace tessavar::cli {

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

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_CLI_COMMAND_H_
