// tessavar-cli export-midi: a MIDI file for a DAW or a notation program,
// with named tracks, the composition's key and time signature, and on
// request small human variation.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>

#include "cli/cli_command.h"
#include "cli/exchange_source.h"
#include "model/exchange_export.h"

namespace tessavar::cli {
namespace {

constexpr char kDescription[] =
    "Writes the piece of a MIDI file written by Tessavar Composer, or of a\n"
    "composition (composed first), as a MIDI file for a DAW or a notation\n"
    "program: one track per sounding orchestration row named by its\n"
    "instrument, the composition's name on the tempo track, the key\n"
    "signature of its tonality and key, the time signature, and the same\n"
    "notes, times, channels, programs and pans. The working MIDI file is\n"
    "not changed. With --humanize SEED the notes start up to 3 ticks later\n"
    "and their velocities vary by up to 8; the same seed gives the same\n"
    "file.";

struct ExportMidiArguments {
  ExchangeExportArguments files;
  std::optional<uint32_t> humanize;
};

std::function<int()> Setup(CLI::App& app) {
  app.description(kDescription);
  auto args = std::make_shared<ExportMidiArguments>();
  app.add_option(
         "IN", args->files.input,
         "a MIDI file written by the program, or a composition ('-' reads "
         "standard input)")
      ->required();
  app.add_option("OUT.mid", args->files.output, "the MIDI file to write")
      ->required();
  app.add_option("--humanize", args->humanize,
                 "vary timing and velocities, drawn from this seed");
  app.add_flag("--force", args->files.force, "replace a write-protected file");
  return [args] {
    return RunExchangeExport(
        "export-midi", args->files, [&](const ExchangePiece& piece) {
          return ExchangeFileBytes(piece, ExchangeFormat::kMidi,
                                   args->humanize);
        });
  };
}

const bool kRegistered = RegisterCommand(
    {"export-midi", "write a MIDI file for a DAW or a notation program",
     Setup});

}  // namespace
}  // namespace tessavar::cli
