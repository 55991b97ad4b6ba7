#include "model/midi_file_transfer.h"

#include <string>

#include "base/file_system.h"
#include "base/text.h"
#include "midi/composition_info.h"
#include "model/error_reporter.h"
#include "model/player.h"
#include "model/program_state.h"
#include "model/ui_host.h"

namespace tessavar {
namespace {

// Copies a file, asking the user on failure; Retry looks the source up and
// copies again. Returns the error the user gave up on, or ok.
Status CopyWithRetry(const std::string& from, const std::string& to,
                     ErrorReporter& errors) {
  return RunWithRetry(errors,
                      [&] { CopyFileAtomically(ProgramFileOnDisk(from), to); });
}

bool IsDefaultMIDIPath(const std::string& path) {
  return AsciiUpper(path).find("DEFAULT.MID") != std::string::npos;
}

// The player opens the file under the name it really has on disk.
void OpenInPlayer(Player& player, const std::string& path) {
  player.SetFileName(ProgramFileOnDisk(path));
  player.Open();
}

}  // namespace

void ExtractCompInfo(ProgramState& state) {
  state.composition_info = ExtractCompInfo(state.midi_path);
}

bool EmbedCompInfo(const ProgramState& state) {
  return EmbedCompInfo(state.midi_path, state.composition_info);
}

bool SaveMIDIFile(ProgramState& state, Player& player, UiHost& ui,
                  ErrorReporter& errors) {
  ui.SetBusyPointer(true);
  bool copied = false;
  if (!state.midi_path.empty()) {
    player.Close();
    ui.Yield();
    copied = CopyWithRetry(state.paths.working_midi,
                           LowerCaseFileName(state.midi_path), errors)
                 .ok();
    if (copied) OpenInPlayer(player, state.paths.working_midi);
  }
  ui.SetBusyPointer(false);
  return copied;
}

bool LoadMIDIFile(ProgramState& state, Player& player, UiHost& ui,
                  ErrorReporter& errors) {
  if (state.midi_path.empty()) return false;
  ui.SetBusyPointer(true);
  ExtractCompInfo(state);
  const std::string working = LowerCaseFileName(state.paths.working_midi);
  bool copied = false;
  if (IsDefaultMIDIPath(state.midi_path)) {
    // At the first start there is no default MIDI file yet: no message.
    try {
      CopyFileAtomically(ProgramFileOnDisk(state.midi_path), working);
      copied = true;
    } catch (const RunTimeError&) {
      ui.SetBusyPointer(false);
      return false;
    }
  } else {
    copied = CopyWithRetry(state.midi_path, working, errors).ok();
  }
  player.Close();
  OpenInPlayer(player, state.midi_path);
  if (copied) state.panel.set_save_enabled(true);
  state.play_slider = 0;
  ui.SetBusyPointer(false);
  return copied;
}

}  // namespace tessavar
