// The program's side of the MIDI formats: the panel's tempo, pans,
// instruments and the channel map turned into the numbers the writer and
// the Redo patcher take, and the procedure that writes the score to a MIDI
// file with Retry.
#ifndef TESSAVAR_MODEL_MIDI_SAVE_H_
#define TESSAVAR_MODEL_MIDI_SAVE_H_

#include <string>

#include "base/status.h"
#include "engine/engine_state.h"
#include "engine/progress_hook.h"
#include "midi/midi_writer.h"
#include "midi/redo_patcher.h"
#include "model/error_reporter.h"
#include "model/panel_model.h"
#include "model/program_state.h"

namespace tessavar {

// The tempo and pans of the panel as numbers, and the channel map. A tempo
// that is not positive, or rounds to 0, becomes 0 (refused by the writer).
MidiFileSettings MidiFileSettingsFromPanel(const PanelModel& panel,
                                           const ChannelMap& channel_map);

// The instruments and pans of the panel and the channel map.
RedoSettings RedoSettingsFromState(const ProgramState& state);

// What writing the score gave: the writer's outcome and the write error the
// user gave up on (ok when the file was written or nothing was to be).
struct MidiSaveResult {
  MidiWriteOutcome outcome = MidiWriteOutcome::kRefused;
  Status status;

  bool written() const {
    return outcome == MidiWriteOutcome::kWritten && status.ok();
  }
};

// Writes the finished score of `engine` to `midi_file` (trimmed; the file name
// is created in lower case; an existing file is replaced only when the new one
// is complete). Refused without a path, a first track name or a positive
// tempo. A stopped write still stores the tracks completed so far. A failed
// write is offered again through `reporter` until the user cancels.
MidiSaveResult SaveScoreAsMidiFile(const std::string& midi_file,
                                   const EngineState& engine,
                                   const MidiFileSettings& settings,
                                   ErrorReporter& reporter, ProgressHook& hook);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_MIDI_SAVE_H_
