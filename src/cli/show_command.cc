// tessavar-cli show and fields: a composition as NAME=VALUE lines (or JSON)
// to diff and grep, and the names that --set takes.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "base/terminal_text.h"
#include "cli/cli_command.h"
#include "cli/field_names.h"
#include "cli/standard_streams.h"
#include "model/composition_file_io.h"
#include "model/program_paths.h"
#include "model/program_state.h"
#include "model/ui_host.h"

namespace tessavar::cli {
namespace {

struct ShowArguments {
  std::string composition;  // empty = the factory default
  bool json = false;
};

int RunShow(const ShowArguments& args) {
  const InputFile input(
      args.composition.empty()
          ? (std::filesystem::path(ShareDirectory()) / kDefaultCompositionName)
                .string()
          : args.composition);
  const std::string& path = input.path();
  auto state = std::make_unique<ProgramState>();
  UiHost host;
  const Status loaded = LoadStartupComposition(*state, path, host);
  if (!loaded.ok()) {
    std::cerr << "tessavar-cli show: cannot read the composition: "
              << TerminalText(NamingStandardInput(LoadProblemText(loaded)))
              << "\n";
    return kExitFile;
  }
  nlohmann::ordered_json object;
  for (const NamedField& field : NamedFields()) {
    std::string value = NamedFieldValue(*state, field);
    if (args.json) {
      object[field.name] = value;
    } else {
      std::cout << field.name << '=' << TerminalText(value) << '\n';
    }
  }
  // Bytes that are not UTF-8 (an old file's accented letter) become U+FFFD;
  // JSON cannot carry them.
  if (args.json) {
    std::cout << object.dump(2, ' ', false,
                             nlohmann::json::error_handler_t::replace)
              << '\n';
  }
  return kExitOk;
}

std::function<int()> SetupShow(CLI::App& app) {
  app.description(
      "Prints every setting of a composition as NAME=VALUE, one a line, in\n"
      "the order of the file; the names are those --set takes. Control\n"
      "characters in a value are shown escaped (\\x1b), a backslash doubled;\n"
      "--json shows every value as it is.");
  auto args = std::make_shared<ShowArguments>();
  app.add_option("COMPOSITION.tvx", args->composition,
                 "the composition (default: the factory default; '-' reads "
                 "standard input)")
      ->type_name("FILE");
  app.add_flag("--json", args->json, "one JSON object instead");
  return [args] { return RunShow(*args); };
}

int RunFields() {
  for (const NamedField& field : NamedFields()) {
    std::cout << field.name
              << std::string(
                     field.name.size() < 18 ? 18 - field.name.size() : 1, ' ')
              << field.label << '\n';
  }
  return kExitOk;
}

std::function<int()> SetupFields(CLI::App& app) {
  app.description(
      "Lists the names of the settings that compose --set NAME=VALUE and\n"
      "show use, with the window's label of each.");
  return RunFields;
}

const bool kShowRegistered = RegisterCommand(
    {"show", "print a composition as NAME=VALUE lines", SetupShow});
const bool kFieldsRegistered = RegisterCommand(
    {"fields", "list the setting names that --set takes", SetupFields});

}  // namespace
}  // namespace tessavar::cli
