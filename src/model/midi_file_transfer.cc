#include "model/midi_file_transfer.h"

#include <string>

#include "base/file_system.h"
#include "base/text.h"
#include "midi/composition_info.h"
#include "midi/midi_reader.h"
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

// Copies a MIDI file over the working file when this program can read it;
// a missing, unreadable or damaged file is not copied and the error names
// it as it is on disk.
void CopyReadableMidi(const std::string& from, const std::string& to) {
  const std::string source = ProgramFileOnDisk(from);
  Result<MidiContent> content = ReadMidiContentFile(source);
  if (!content.ok()) throw RunTimeError(content.status());
  CopyFileAtomically(source, to);
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

std::string WorkingMidiFile(const ProgramPaths& paths) {
  const std::string found = FindExistingPath(paths.working_midi);
  return FileExists(found) ? found : LowerCaseFileName(paths.working_midi);
}

void ExtractCompositionInfo(ProgramState& state) {
  state.composition_info = ExtractCompositionInfo(state.midi_path);
}

bool EmbedCompositionInfo(const ProgramState& state) {
  return EmbedCompositionInfo(state.midi_path, state.composition_info);
}

bool SaveMIDIFile(ProgramState& state, Player& player, UiHost& ui,
                  ErrorReporter& errors) {
  ui.SetBusyPointer(true);
  bool copied = false;
  if (!state.midi_path.empty()) {
    player.Close();
    ui.Yield();
    copied = CopyWithRetry(WorkingMidiFile(state.paths),
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
  ExtractCompositionInfo(state);
  const std::string working = LowerCaseFileName(state.paths.working_midi);
  const auto copy = [&] { CopyReadableMidi(state.midi_path, working); };
  bool copied = false;
  if (IsDefaultMIDIPath(state.midi_path)) {
    // At the first start there is no default MIDI file yet: no message.
    try {
      copy();
      copied = true;
    } catch (const RunTimeError&) {
      ui.SetBusyPointer(false);
      return false;
    }
  } else {
    copied = RunWithRetry(errors, copy).ok();
  }
  // Music that could not be taken in is neither played nor saved: the
  // working file still holds other music.
  player.Close();
  if (copied) OpenInPlayer(player, state.midi_path);
  state.panel.set_save_enabled(copied);
  state.play_slider = 0;
  ui.SetBusyPointer(false);
  return copied;
}

}  // namespace tessavar
