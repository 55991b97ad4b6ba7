// The subcommands of tessavar-cli. Each subcommand lives in a file of its
// own and registers itself here, so the dispatcher needs no list of them.
#ifndef TESSAVAR_CLI_CLI_COMMAND_H_
#define TESSAVAR_CLI_CLI_COMMAND_H_

#include <functional>
#include <string>
#include <vector>

#include "base/exit_status.h"
#include "base/status.h"

namespace CLI {
class App;
}  // namespace CLI

namespace tessavar::cli {

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

// The words a shell offers for the value of a command's option (type name
// "WORD"); an option of type name FILE or DIR completes paths.
void SetValueWords(const CLI::App& command, const std::string& option,
                   std::vector<std::string> words);
const std::vector<std::string>& ValueWords(const CLI::App& command,
                                           const std::string& option);

// Prints "tessavar-cli COMMAND: FILE[, line N]: TEXT" (without the file
// part when the status names none), escaped for a terminal, and returns
// kExitFile.
int ReportError(const std::string& command, const Status& status);

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_CLI_COMMAND_H_
