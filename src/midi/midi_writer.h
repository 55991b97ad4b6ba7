// Writes the score store as a Standard MIDI File (format 1, 96 ticks per
// quarter note): a fixed tempo track first, then one track per named score
// track. The compose command writes the working MIDI file with it; Redo and
// the composition-info procedures rely on its byte layout.
#ifndef TESSAVAR_MIDI_MIDI_WRITER_H_
#define TESSAVAR_MIDI_MIDI_WRITER_H_

#include <array>
#include <string>

#include "model/error_reporter.h"
#include "model/panel_model.h"
#include "model/program_state.h"
#include "model/ui_host.h"
#include "engine/engine_state.h"

namespace tessavar {

// Results of SaveScoreInMIDIFormat besides -e (run-time error e, not
// retried).
inline constexpr int kMidiWritten = 1;
inline constexpr int kMidiNotWritten = -1;  // refused or stopped

inline constexpr int kMidiTicksPerQuarter = 96;
// Ticks per half unit of a score duration (24 per sixteenth note).
inline constexpr int kMidiTicksPerHalfUnit = 12;
// The writer yields to the event loop every this many slots of a track.
inline constexpr int kMidiYieldInterval = 128;

// What the writer takes from the panel: the tempo text, the pan text of each
// track and the MIDI channel (1..16) of each track.
struct MidiFileSettings {
  std::string tempo_text;
  std::array<std::string, kTrackCount> pan_texts{};
  ChannelMap channel_map = DefaultChannelMap();
};

// The settings as the panel and the channel map hold them now.
MidiFileSettings MidiFileSettingsFromPanel(const PanelModel& panel,
                                           const ChannelMap& channel_map);

// Writes the score of `engine` to `midi_file` (trimmed; the file name is
// created in lower case; an existing file is replaced only when the new one
// is written). The tracks written are the leading non-empty track names,
// which are trimmed in place. Yields through `ui` every 128 slots of a track
// and stops when engine.stop_requested is set; the file then holds the
// header and the tracks completed so far. Returns 1 when written, -1 when
// refused (blank path, no first track name, tempo not positive) or stopped,
// -e when run-time error e occurred and the user chose Cancel in `reporter`.
int SaveScoreInMIDIFormat(const std::string& midi_file, EngineState& engine,
                          const MidiFileSettings& settings,
                          ErrorReporter& reporter, UiHost& ui);

}  // namespace tessavar

#endif  // TESSAVAR_MIDI_MIDI_WRITER_H_
