#include "midi/exchange_piece.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "midi/midi_bytes.h"

namespace tessavar {
namespace {

constexpr int kSemitones = 12;
// Fifths of the major key on each tonic from C; F sharp is written with
// sharps, the other black keys with flats.
constexpr std::array<int, kSemitones> kMajorFifths = {0, -5, 2,  -3, 4,  -1,
                                                      6, 1,  -4, 3,  -2, 5};
// A minor key has the signature of the major key three semitones up.
constexpr int kRelativeMajorStep = 3;
constexpr int kMicrosecondsPerMinute = 60000000;
constexpr int kCentrePan = 64;
constexpr int kCommonBeats = 4;
constexpr int kCommonUnit = 4;

// Whether a bar of the time signature is a whole number of ticks, at least
// one.
bool IsWholeBar(int division, int beats_per_bar, int beat_unit) {
  const int64_t quarters_ticks =
      static_cast<int64_t>(division) * 4 * beats_per_bar;
  return beat_unit > 0 && quarters_ticks % beat_unit == 0 &&
         quarters_ticks / beat_unit >= 1;
}

}  // namespace

KeySignature KeySignatureOf(int tonic, bool minor) {
  const int pitch_class = ((tonic % kSemitones) + kSemitones) % kSemitones;
  if (!minor) return {kMajorFifths[pitch_class], false};
  return {kMajorFifths[(pitch_class + kRelativeMajorStep) % kSemitones], true};
}

int64_t ExchangePiece::TicksPerBar() const {
  return static_cast<int64_t>(division) * 4 * beats_per_bar / beat_unit;
}

int ExchangePiece::QuartersPerMinute() const {
  if (microseconds_per_quarter <= 0) return 0;
  return static_cast<int>(
      std::lround(static_cast<double>(kMicrosecondsPerMinute) /
                  static_cast<double>(microseconds_per_quarter)));
}

ExchangePiece ExchangePieceOf(
    const MidiContent& content,
    const std::function<std::string(const MidiTrack&)>& part_name) {
  ExchangePiece piece;
  piece.division = content.timing.division();
  piece.microseconds_per_quarter =
      content.timing.tempo_changes().front().microseconds_per_quarter;
  // A bar the ticks cannot hold is written in common time.
  if (IsWholeBar(piece.division, content.beats_per_bar, content.beat_unit)) {
    piece.beats_per_bar = content.beats_per_bar;
    piece.beat_unit = content.beat_unit;
  } else {
    piece.beats_per_bar = kCommonBeats;
    piece.beat_unit = kCommonUnit;
  }
  piece.end_tick = content.timing.total_ticks();
  for (const MidiTrack& track : content.tracks) {
    if (track.notes.empty()) continue;
    ExchangePart part;
    part.name = part_name(track);
    part.channel = track.notes.front().channel;
    part.program = std::max(track.program, 0);
    part.pan = track.pan < 0 ? kCentrePan : track.pan;
    part.notes = track.notes;
    piece.end_tick = std::max(piece.end_tick, part.notes.back().end);
    piece.parts.push_back(std::move(part));
  }
  return piece;
}

ExchangePiece Humanized(const ExchangePiece& piece, uint32_t seed) {
  ExchangePiece copy = piece;
  // mt19937 gives the same numbers everywhere; the distributions of the
  // standard library do not, so the draws are reduced here.
  std::mt19937 random(seed);
  for (ExchangePart& part : copy.parts) {
    for (MidiNote& note : part.notes) {
      const int64_t delay = random() % (kHumanizeTicks + 1);
      note.start = std::min(note.start + delay, note.end - 1);
      const int change =
          static_cast<int>(random() % (2 * kHumanizeVelocity + 1)) -
          kHumanizeVelocity;
      note.velocity = std::clamp(note.velocity + change, 1, midi::kMaxDataByte);
    }
  }
  return copy;
}

}  // namespace tessavar
