// Re-orchestrating a written MIDI file in place: the program-change and pan
// bytes at the start of each track's chunk receive the current instrument
// and pan of that track. Nothing else in the file changes.
#ifndef TESSAVAR_MIDI_REDO_PATCHER_H_
#define TESSAVAR_MIDI_REDO_PATCHER_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/score.h"

namespace tessavar {

// What each track should sound like after the patch.
struct RedoSettings {
  // MIDI channel 1..16 per track, the one the file was written with.
  std::array<int, kTrackCount> channel{};
  // Instrument list index per track; -1 (no selection) means program 0.
  std::array<int, kTrackCount> instrument{};
  // Pan controller value per track, already rounded to a whole number.
  std::array<int64_t, kTrackCount> pan{};
};

// Where the program and pan bytes of one track lie in the file.
struct TrackPatchPlace {
  size_t program_offset;
  size_t pan_offset;
};

// The program and pan bytes of track t (0..15): the track's chunk is the
// (t + 2)-th "MTrk" chunk of the file (the tempo track comes first), and it
// must begin with the writer's name event followed by 00 Cc p 00 Bc 0A v on
// the given channel. nullopt when the file has no such chunk.
std::optional<TrackPatchPlace> FindTrackPatchPlace(std::string_view bytes,
                                                   int track, int channel);

// The bytes written for a track: the program (0 for no selection) and the
// pan, both clamped into 0..127.
int ProgramByte(int instrument);
int PanByte(int64_t pan);

// Patches the bytes in memory; returns the number of tracks patched.
int PatchProgramsAndPans(std::string& bytes, const RedoSettings& settings);

// Patches the file at path in place: the whole file is read, and only the
// two bytes of every patched track are written back. Throws RunTimeError
// (53 missing, 70/75 locked or not a file, ...) before anything is written
// when the file cannot be opened for reading and writing. Returns the
// number of tracks patched.
int PatchMIDIFile(const std::string& path, const RedoSettings& settings);

}  // namespace tessavar

#endif  // TESSAVAR_MIDI_REDO_PATCHER_H_
