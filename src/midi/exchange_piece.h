// A piece as the exchange formats carry it for a DAW or a notation
// program: one named part per sounding track, with the tempo, time
// signature, key and titles they show. Taken from the notes of a MIDI file
// the program wrote; the exchange MIDI and MusicXML writers format it.
#ifndef TESSAVAR_MIDI_EXCHANGE_PIECE_H_
#define TESSAVAR_MIDI_EXCHANGE_PIECE_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "midi/midi_reader.h"

namespace tessavar {

struct KeySignature {
  int fifths = 0;  // sharps above 0, flats below
  bool minor = false;
};

// The signature of a major or minor key on `tonic` (0 = C .. 11 = B, any
// integer taken modulo 12), with at most six sharps or flats.
KeySignature KeySignatureOf(int tonic, bool minor);

struct ExchangePart {
  std::string name;
  int channel = 0;              // 0..15
  int program = 0;              // 0..127
  int pan = 64;                 // 0..127
  std::vector<MidiNote> notes;  // in order of their starts
};

struct ExchangePiece {
  std::string title;
  std::string subtitle;
  int division = 96;  // ticks per quarter note
  int64_t microseconds_per_quarter = kDefaultMicrosecondsPerQuarter;
  int beats_per_bar = 4;
  int beat_unit = 4;
  KeySignature key;
  std::vector<ExchangePart> parts;
  // Where the music ends, trailing rests included.
  int64_t end_tick = 0;

  int64_t TicksPerBar() const;
  // Quarter notes per minute, rounded.
  int QuartersPerMinute() const;
};

// The piece of a MIDI file's content: a part for every track with notes, in
// track order, named by `part_name`; timing and time signature as read.
// Titles and key are left for the caller.
ExchangePiece ExchangePieceOf(
    const MidiContent& content,
    const std::function<std::string(const MidiTrack&)>& part_name);

// A copy for a DAW with small human variation drawn from `seed`: every note
// starts up to kHumanizeTicks later (never reaching its end) and its
// velocity moves by up to kHumanizeVelocity. The same seed gives the same
// piece.
inline constexpr int kHumanizeTicks = 3;
inline constexpr int kHumanizeVelocity = 8;
ExchangePiece Humanized(const ExchangePiece& piece, uint32_t seed);

}  // namespace tessavar

#endif  // TESSAVAR_MIDI_EXCHANGE_PIECE_H_
