// tessavar-cli: composes, inspects, re-orchestrates and renders without a
// window.
#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_command.h"

namespace tessavar::cli {

std::vector<CliCommand>& Registry() {
  static std::vector<CliCommand> commands;
  return commands;
}

bool RegisterCommand(CliCommand command) {
  Registry().push_back(std::move(command));
  return true;
}

const std::vector<CliCommand>& RegisteredCommands() { return Registry(); }

int ReportError(const std::string& command, const Status& status) {
  std::cerr << "tessavar-cli " << command << ": ";
  if (!status.path().empty()) {
    std::cerr << status.path();
    if (status.line() > 0) std::cerr << ", line " << status.line();
    std::cerr << ": ";
  }
  std::cerr << (status.detail().empty() ? ErrorMessage(status.number())
                                        : status.detail())
            << '\n';
  return kExitFailure;
}

int RunCommand(const CliCommand& command,
               const std::vector<std::string>& args) {
  try {
    return command.run(args);
  } catch (const RunTimeError& error) {
    return ReportError(command.name, error.status());
  } catch (const std::exception& error) {
    std::cerr << "tessavar-cli " << command.name << ": " << error.what()
              << '\n';
  } catch (...) {
    std::cerr << "tessavar-cli " << command.name << ": unexpected failure\n";
  }
  return kExitFailure;
}

namespace {

void PrintOverview(std::ostream& out) {
  out << "usage: tessavar-cli COMMAND [ARGUMENTS]\n\n"
         "Tessavar Composer without a window.\n\nCommands:\n";
  std::vector<CliCommand> commands = RegisteredCommands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  for (const auto& command : commands) {
    out << "  " << command.name
        << std::string(command.name.size() < 10 ? 10 - command.name.size() : 1,
                       ' ')
        << command.summary << '\n';
  }
  out << "\nRun 'tessavar-cli COMMAND --help' for the options of a command.\n";
}

}  // namespace
}  // namespace tessavar::cli

int main(int argc, char** argv) {
  using tessavar::cli::RegisteredCommands;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    tessavar::cli::PrintOverview(std::cerr);
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    tessavar::cli::PrintOverview(std::cout);
    return 0;
  }
  for (const auto& command : RegisteredCommands()) {
    if (command.name != args[0]) continue;
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
      std::cout << command.usage;
      return 0;
    }
    return tessavar::cli::RunCommand(command, rest);
  }
  std::cerr << "tessavar-cli: unknown command '" << args[0] << "'\n";
  tessavar::cli::PrintOverview(std::cerr);
  return 2;
}
