// tessavar-cli: composes, inspects, re-orchestrates and renders without a
// window.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "base/terminal_text.h"
#include "cli/cli_command.h"
#include "cli/heap_tuning.h"
#include "cli/standard_output.h"

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

namespace {

// Runs a command's action: the project's errors, running out of memory and
// the system's errors become a message on standard error and exit status
// 2; anything else is a programming error and is left to abort loudly.
int RunAction(const std::string& command, const std::function<int()>& action) {
  try {
    return action();
  } catch (const RunTimeError& error) {
    return ReportError(command, error.status());
  } catch (const std::bad_alloc& error) {
    std::cerr << "tessavar-cli " << command << ": "
              << TerminalText(error.what()) << '\n';
  } catch (const std::system_error& error) {  // a thread or a folder
    std::cerr << "tessavar-cli " << command << ": "
              << TerminalText(error.what()) << '\n';
  }
  return kExitFile;
}

constexpr char kVersion[] = "tessavar-cli " TESSAVAR_VERSION;

int Main(int argc, char** argv) {
  TuneHeapForComposing();
  CLI::App app("Tessavar Composer without a window.", "tessavar-cli");
  app.set_version_flag("--version", kVersion);
  app.require_subcommand(0, 1);
  // A mistyped argument is echoed; it may hold control characters.
  app.failure_message([](const CLI::App* failed, const CLI::Error& error) {
    return TerminalLines(CLI::FailureMessage::simple(failed, error));
  });
  app.footer(std::string("Run 'tessavar-cli COMMAND --help' for the options "
                         "of a command.\n\n") +
             ExitStatusHelp());
  std::vector<CliCommand> commands = RegisteredCommands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  std::map<CLI::App*, std::function<int()>> actions;
  for (const CliCommand& command : commands) {
    CLI::App* sub = app.add_subcommand(command.name, command.summary);
    sub->footer(ExitStatusHelp());
    actions[sub] = command.setup(*sub);
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    int status = app.exit(error);
    return status == 0 ? kExitOk : kExitFile;
  }
  for (auto& [sub, action] : actions) {
    if (sub->parsed()) return RunAction(sub->get_name(), action);
  }
  std::cerr << app.help() << "\ntessavar-cli: a command is missing\n";
  return kExitFile;
}

}  // namespace
}  // namespace tessavar::cli

int main(int argc, char** argv) {
  tessavar::cli::StandardOutput output;
  return output.Finish(tessavar::cli::Main(argc, argv));
}
