// Stems: one audio file per sounding track of a MIDI file, which summed
// give the full render. The names say the track and its instrument.
#ifndef TESSAVAR_MODEL_AUDIO_STEMS_H_
#define TESSAVAR_MODEL_AUDIO_STEMS_H_

#include <string>
#include <vector>

#include "base/status.h"
#include "midi/midi_reader.h"
#include "model/audio_format.h"

namespace tessavar {

struct Stem {
  int track = 0;          // index into MidiContent::tracks
  std::string file_name;  // "03 Violin.flac"
};

// The General MIDI name of the track's first program ("Violin"; Piano
// without one), or Percussion for a track on the drum channel; a path
// separator in it becomes '-'.
std::string InstrumentName(const MidiTrack& track);

// A stem for every track that has notes and is not marked in
// silent_tracks, in track order. The instrument is the General MIDI name
// of the track's first program (Piano without one), or Percussion for a
// track on the drum channel.
std::vector<Stem> PlanStems(const MidiContent& content,
                            const std::vector<bool>& silent_tracks,
                            AudioFormat format);

// The most stems one render writes: each may cost a render of its own,
// and the program's own files have at most 16 sounding tracks.
inline constexpr size_t kMaxStems = 64;

// Error 6 naming midi_path when there are more stems than kMaxStems; ok
// otherwise.
Status CheckStemCount(const std::vector<Stem>& stems,
                      const std::string& midi_path);

// The silent marks under which only `track` of track_count sounds.
std::vector<bool> OnlyTrackSounding(size_t track_count, int track);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_AUDIO_STEMS_H_
