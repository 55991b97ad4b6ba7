// Reads the notes of a Standard MIDI File for display and for playback with
// some tracks silenced: every track's notes with their keys, velocities,
// channels and tick spans, the track names, first programs and pans, the time
// signature, and the file's timing. A file that cannot be read gives the
// reason instead of notes.
#ifndef TESSAVAR_MIDI_MIDI_READER_H_
#define TESSAVAR_MIDI_MIDI_READER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "midi/midi_timing.h"

namespace tessavar {

struct MidiNote {
  int64_t start = 0;  // ticks
  int64_t end = 0;    // ticks, > start
  int key = 60;
  int velocity = 100;
  int channel = 0;  // 0..15
};

struct MidiTrack {
  std::string name;  // the first track-name event, or empty
  int program = -1;  // the first program change, or -1
  int pan = -1;      // the first pan controller value, or -1
  // In order of their starts (ends for equal starts do not matter).
  std::vector<MidiNote> notes;
};

struct MidiContent {
  MidiTiming timing;
  // Every track chunk in file order (the program's files: the tempo track
  // first, then one track per orchestration row).
  std::vector<MidiTrack> tracks;
  // The first time signature; 4/4 when the file has none.
  int beats_per_bar = 4;
  int beat_unit = 4;

  int64_t NoteCount() const;
  // Ticks per bar by the time signature.
  int64_t TicksPerBar() const;
};

// Parses the bytes; a damaged or foreign file gives a status whose detail
// is a one-line reason.
Result<MidiContent> ReadMidiContent(std::string_view bytes);
// Reads the file and parses it; file errors keep their classic numbers.
Result<MidiContent> ReadMidiContentFile(const std::string& path);

// A copy of the file bytes in which every note of the tracks marked true
// (indices into MidiContent::tracks) starts with velocity 0, which MIDI
// treats as a note-off: those tracks fall silent while every other byte,
// the timing and the length stay the same.
std::string SilenceTracks(std::string_view bytes,
                          const std::vector<bool>& silent);

}  // namespace tessavar

#endif  // TESSAVAR_MIDI_MIDI_READER_H_
