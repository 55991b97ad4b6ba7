// tessavar-cli redo: applies the instruments, pans and channel map of a
// composition file to an existing MIDI file in place, as the Redo command
// does for the working file.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/status.h"
#include "base/terminal_text.h"
#include "cli/cli_command.h"
#include "midi/composition_info.h"
#include "midi/redo_patcher.h"
#include "model/composition_file_io.h"
#include "model/midi_save.h"
#include "model/program_state.h"
#include "model/ui_host.h"

namespace tessavar::cli {
namespace {

constexpr char kDescription[] =
    "Re-orchestrates a MIDI file written by Tessavar Composer in place: the\n"
    "program and pan of each track receive the instrument and pan of that\n"
    "track in the composition file. Tracks are matched by their position in\n"
    "the file and must be on the channel the composition's channel map\n"
    "gives them; nothing else in the file changes.";

// The program's own MIDI files open with the information event; anything
// else (a composition file, another program's MIDI file) is refused.
bool WrittenByTheProgram(const std::string& midi_path) {
  const std::string head =
      ReadFilePrefix(midi_path, kNameTextOffset + kMaxCompInfoLength);
  return BytesWithCompInfo(head, {}).has_value();
}

struct RedoArguments {
  std::string midi_path;
  std::string composition_path;
};

int RunRedo(const RedoArguments& args) {
  const std::string& midi_path = args.midi_path;
  if (!WrittenByTheProgram(midi_path)) {
    return ReportError("redo",
                       Status(kErrInvalidCall, midi_path, 0,
                              "not a MIDI file written by Tessavar Composer"));
  }
  ProgramState state;
  UiHost host;
  const Status loaded = ReadCompositionFile(state, args.composition_path, host);
  if (!loaded.ok()) {
    std::cerr << "tessavar-cli redo: " << TerminalText(LoadProblemText(loaded))
              << '\n';
    return kExitFile;
  }
  int patched = 0;
  try {
    patched = PatchMIDIFile(args.midi_path, RedoSettingsFromState(state));
  } catch (const RunTimeError& error) {
    return ReportError("redo", error.status().WithPath(midi_path));
  }
  std::cout << "patched " << patched << (patched == 1 ? " track" : " tracks")
            << " in " << TerminalText(midi_path) << '\n';
  return kExitOk;
}

std::function<int()> Setup(CLI::App& app) {
  app.description(kDescription);
  auto args = std::make_shared<RedoArguments>();
  app.add_option("WORKING.mid", args->midi_path, "the MIDI file to patch")
      ->required();
  app.add_option("COMPOSITION.tvx", args->composition_path,
                 "the composition whose orchestration is applied")
      ->required();
  return [args] { return RunRedo(*args); };
}

const bool kRegistered = RegisterCommand(
    {"redo", "apply a composition's instruments and pans to a MIDI file",
     Setup});

}  // namespace
}  // namespace tessavar::cli
