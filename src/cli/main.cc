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
#include "cli/help_format.h"
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

std::map<std::string, std::vector<std::string>>& ValueWordRegistry() {
  static std::map<std::string, std::vector<std::string>> words;
  return words;
}

void SetValueWords(const CLI::App& command, const std::string& option,
                   std::vector<std::string> words) {
  ValueWordRegistry()[command.get_name() + " " + option] = std::move(words);
}

const std::vector<std::string>& ValueWords(const CLI::App& command,
                                           const std::string& option) {
  static const std::vector<std::string> kNone;
  auto found = ValueWordRegistry().find(command.get_name() + " " + option);
  return found == ValueWordRegistry().end() ? kNone : found->second;
}

namespace {

constexpr char kProgram[] = "tessavar-cli";
// The hidden command the shell completions read.
constexpr char kCompletionCommand[] = "completion-words";

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

// What a shell completes after an option: "flag" (nothing), "file", "dir",
// "setting" (NAME= from `fields`), or "words" followed by the words.
std::string CompletionKind(const CLI::Option& option) {
  // A flag expects no value; its type size stays 1.
  if (option.get_expected_max() == 0) return "flag";
  const std::string type = option.get_type_name();
  if (type == "FILE") return "file";
  if (type == "DIR") return "dir";
  if (type == "NAME=VALUE") return "setting";
  if (type == "WORD") return "words";
  return "value";
}

// One line per option of every command: COMMAND, OPTION, KIND and for
// "words" the words, separated by tabs. A new command or option is learnt
// by the completions from here.
int PrintCompletionWords(const CLI::App& app) {
  for (const CLI::App* sub : app.get_subcommands({})) {
    if (sub->get_group().empty()) continue;
    std::cout << sub->get_name() << "\t\tcommand\n";
    for (const CLI::Option* option : sub->get_options()) {
      if (option->get_positional()) continue;
      const std::string kind = CompletionKind(*option);
      for (const auto& names : {option->get_lnames(), option->get_snames()}) {
        for (const std::string& name : names) {
          const std::string dashed = (name.size() == 1 ? "-" : "--") + name;
          std::cout << sub->get_name() << '\t' << dashed << '\t' << kind;
          if (kind == "words" && !option->get_lnames().empty()) {
            for (const std::string& word :
                 ValueWords(*sub, "--" + option->get_lnames().front())) {
              std::cout << '\t' << word;
            }
          }
          std::cout << '\n';
        }
      }
    }
  }
  return kExitOk;
}

constexpr char kVersion[] = "tessavar-cli " TESSAVAR_VERSION;

int Main(int argc, char** argv) {
  TuneHeapForComposing();
  CLI::App app("Tessavar Composer without a window.", kProgram);
  app.set_version_flag("--version", kVersion);
  app.require_subcommand(0, 1);
  app.footer(std::string("Run 'tessavar-cli COMMAND --help' for the options "
                         "of a command.\n\n") +
             ExitStatusHelp());
  std::vector<CliCommand> commands = RegisteredCommands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  std::map<std::string, std::string> summaries;
  for (const CliCommand& command : commands) {
    summaries[command.name] = command.summary;
  }
  auto formatter = std::make_shared<WrappingFormatter>(summaries);
  app.formatter(formatter);
  std::map<CLI::App*, std::function<int()>> actions;
  for (const CliCommand& command : commands) {
    CLI::App* sub = app.add_subcommand(command.name, command.summary);
    sub->footer(ExitStatusHelp());
    sub->formatter(formatter);
    actions[sub] = command.setup(*sub);
  }
  CLI::App* words = app.add_subcommand(kCompletionCommand,
                                       "what the shell completions offer");
  words->group("");
  actions[words] = [&app] { return PrintCompletionWords(app); };
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return ParseFailure(app, error, kProgram);
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
