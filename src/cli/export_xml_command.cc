// tessavar-cli export-xml: the piece as a MusicXML score for a notation
// program, plain (.musicxml) or compressed (.mxl).
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "base/terminal_text.h"
#include "cli/cli_command.h"
#include "cli/exchange_source.h"
#include "model/exchange_export.h"

namespace tessavar::cli {
namespace {

constexpr char kDescription[] =
    "Writes the piece of a MIDI file written by Tessavar Composer, or of a\n"
    "composition (composed first), as a MusicXML score: one part per\n"
    "sounding track named by its instrument, the key, time signature and\n"
    "tempo, notes and rests split at bar lines with ties, the composition's\n"
    "name as the title and its information as the subtitle. OUT ending in\n"
    ".mxl is written compressed, .musicxml or .xml plain.";

std::function<int()> Setup(CLI::App& app) {
  app.description(kDescription);
  auto args = std::make_shared<ExchangeExportArguments>();
  app.add_option(
         "IN", args->input,
         "a MIDI file written by the program, or a composition ('-' reads "
         "standard input)")
      ->required();
  app.add_option("OUT", args->output, "the .musicxml or .mxl file to write")
      ->required();
  app.add_flag("--force", args->force, "replace a write-protected file");
  return [args] {
    const std::optional<ExchangeFormat> format =
        MusicXmlFormatOfPath(args->output);
    if (!format) {
      std::cerr << "tessavar-cli export-xml: " << TerminalText(args->output)
                << ": unknown score format (use .musicxml or .mxl)\n";
      return kExitFile;
    }
    return RunExchangeExport("export-xml", *args,
                             [&](const ExchangePiece& piece) {
                               return ExchangeFileBytes(piece, *format);
                             });
  };
}

const bool kRegistered = RegisterCommand(
    {"export-xml", "write a MusicXML score for a notation program", Setup});

}  // namespace
}  // namespace tessavar::cli
