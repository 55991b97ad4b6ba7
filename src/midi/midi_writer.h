// Writes the score store as a Standard MIDI File (format 1, 96 ticks per
// quarter note): a fixed tempo track first, then one track per named score
// track. Redo and the composition-info procedures rely on its byte layout.
#ifndef TESSAVAR_MIDI_MIDI_WRITER_H_
#define TESSAVAR_MIDI_MIDI_WRITER_H_

#include <array>
#include <cstdint>
#include <string>

#include "engine/engine_state.h"
#include "engine/progress_hook.h"

namespace tessavar {

inline constexpr int kMidiTicksPerQuarter = 96;
// Ticks per half unit of a score duration (24 per sixteenth note).
inline constexpr int kMidiTicksPerHalfUnit = 12;
// The writer yields every this many slots of a track.
inline constexpr int kMidiYieldInterval = 128;

// The numbers the writer takes besides the score.
struct MidiFileSettings {
  // Quarter notes per minute, already rounded; not positive refuses.
  int64_t tempo = 0;
  // Pan controller value per track, held within 0..127 when written.
  std::array<int64_t, kTrackCount> pans{};
  // MIDI channel 1..16 per track, held within 1..16 when written.
  std::array<int, kTrackCount> channel_map{};
};

enum class MidiWriteOutcome {
  kWritten,  // every named track is in the bytes
  kRefused,  // nothing to write: no path, no first track name, no tempo
  kStopped,  // the stop flag was set; the bytes hold the completed tracks
};

struct MidiFileBytes {
  MidiWriteOutcome outcome = MidiWriteOutcome::kRefused;
  std::string bytes;  // empty when refused
};

// Where a MIDI file named by the user is written: the name trimmed, its
// file name in lower case; empty when the name is blank.
std::string MidiFileTarget(const std::string& midi_file);

// The bytes of the score of `engine`. The tracks written are the leading
// non-empty track names, which are trimmed in place. Yields through `hook`
// every 128 slots of a track and stops when engine.stop_requested is set;
// the bytes then hold the header and the tracks completed so far. Refused
// (nothing trimmed, no yield) without a first track name or a positive
// tempo.
MidiFileBytes BuildMidiFile(EngineState& engine,
                            const MidiFileSettings& settings,
                            ProgressHook& hook);

}  // namespace tessavar

#endif  // TESSAVAR_MIDI_MIDI_WRITER_H_
