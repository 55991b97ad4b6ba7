// Writes the score store as a Standard MIDI File (format 1, 96 ticks per
// quarter note): a fixed tempo track first, then one track per named score
// track. Redo and the composition-info procedures rely on its byte layout.
#ifndef TESSAVAR_MIDI_MIDI_WRITER_H_
#define TESSAVAR_MIDI_MIDI_WRITER_H_

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "engine/progress_hook.h"
#include "engine/score.h"
#include "engine/track_count.h"

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
  kStopped,  // the hook asked to stop; the bytes hold the completed tracks
};

struct MidiFileBytes {
  MidiWriteOutcome outcome = MidiWriteOutcome::kRefused;
  std::string bytes;  // empty when refused
};

// Where a MIDI file named by the user is written: the name trimmed, its
// file name in lower case; empty when the name is blank.
std::string MidiFileTarget(const std::string& midi_file);

// The bytes of the finished `score`. The tracks written are those of the
// leading non-empty `track_names` (at most kTrackCount), named as given and
// played with `instruments`. Yields through `hook` every 128 slots of a
// track and stops when the hook asks to; the bytes then hold the header and
// the tracks completed so far. Refused (no yield) without a first track
// name or a positive tempo.
MidiFileBytes BuildMidiFile(const Score& score,
                            std::span<const std::string> track_names,
                            std::span<const int, kTrackCount> instruments,
                            const MidiFileSettings& settings,
                            ProgressHook& hook);

}  // namespace tessavar

#endif  // TESSAVAR_MIDI_MIDI_WRITER_H_
