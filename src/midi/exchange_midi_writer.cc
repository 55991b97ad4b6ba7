#include "midi/exchange_midi_writer.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "midi/midi_bytes.h"

namespace tessavar {
namespace {

using midi::AppendBigEndian;
using midi::AppendVariableLength;
using midi::DataByte;

constexpr int kFormat = 1;
constexpr int kTempoBytes = 3;
// MIDI clocks per metronome click (a quarter) and 32nd notes per quarter.
constexpr int kClocksPerClick = 24;
constexpr int kThirtySecondsPerQuarter = 8;
constexpr int kNoteOffVelocity = 64;

// One event of a track at its tick; at equal ticks the lower rank comes
// first, so a note ends before the next one on its key starts.
struct TimedEvent {
  int64_t tick = 0;
  int rank = 0;
  std::string bytes;  // without the delta
};

class TrackBuilder {
 public:
  void Add(int64_t tick, int rank, std::string bytes) {
    events_.push_back({tick, rank, std::move(bytes)});
  }
  void AddMeta(int64_t tick, int type, std::string_view data) {
    std::string bytes = {static_cast<char>(midi::kMetaEvent),
                         static_cast<char>(type)};
    AppendVariableLength(bytes, static_cast<int64_t>(data.size()));
    bytes += data;
    Add(tick, 0, std::move(bytes));
  }
  // The chunk, closed by the end of track at `end_tick` or after the last
  // event.
  std::string Chunk(int64_t end_tick) {
    std::stable_sort(events_.begin(), events_.end(),
                     [](const TimedEvent& a, const TimedEvent& b) {
                       return a.tick != b.tick ? a.tick < b.tick
                                               : a.rank < b.rank;
                     });
    std::string data;
    int64_t now = 0;
    for (const TimedEvent& event : events_) {
      AppendVariableLength(data, event.tick - now);
      data += event.bytes;
      now = event.tick;
    }
    AppendVariableLength(data, std::max<int64_t>(end_tick - now, 0));
    data += {static_cast<char>(midi::kMetaEvent),
             static_cast<char>(midi::kMetaEndOfTrack), 0};
    std::string out;
    midi::AppendChunk(out, midi::kTrackChunkId, data);
    return out;
  }

 private:
  std::vector<TimedEvent> events_;
};

// Ranks of the events at one tick: the set-up, note-offs, note-ons.
enum Rank { kSetUp = 0, kNoteEnd = 1, kNoteStart = 2 };

std::string ChannelMessage(int status, int channel, int data1) {
  return {static_cast<char>(status + channel), DataByte(data1)};
}

int Log2(int value) {
  int power = 0;
  while ((1 << (power + 1)) <= value) ++power;
  return power;
}

std::string TempoTrack(const ExchangePiece& piece) {
  TrackBuilder track;
  if (!piece.title.empty()) {
    track.AddMeta(0, midi::kMetaTrackName, piece.title);
  }
  std::string tempo;
  AppendBigEndian(tempo, static_cast<uint32_t>(piece.microseconds_per_quarter),
                  kTempoBytes);
  track.AddMeta(0, midi::kMetaTempo, tempo);
  const std::string time = {static_cast<char>(piece.beats_per_bar),
                            static_cast<char>(Log2(piece.beat_unit)),
                            static_cast<char>(kClocksPerClick),
                            static_cast<char>(kThirtySecondsPerQuarter)};
  track.AddMeta(0, midi::kMetaTimeSignature, time);
  const std::string key = {static_cast<char>(piece.key.fifths),
                           static_cast<char>(piece.key.minor ? 1 : 0)};
  track.AddMeta(0, midi::kMetaKeySignature, key);
  return track.Chunk(piece.end_tick);
}

std::string PartTrack(const ExchangePart& part, int64_t end_tick) {
  TrackBuilder track;
  track.AddMeta(0, midi::kMetaTrackName, part.name);
  track.Add(0, kSetUp,
            ChannelMessage(midi::kProgramChange, part.channel, part.program));
  std::string pan =
      ChannelMessage(midi::kControlChange, part.channel, midi::kPanController);
  pan.push_back(DataByte(part.pan));
  track.Add(0, kSetUp, std::move(pan));
  for (const MidiNote& note : part.notes) {
    std::string on = ChannelMessage(midi::kNoteOn, note.channel, note.key);
    on.push_back(DataByte(note.velocity));
    track.Add(note.start, kNoteStart, std::move(on));
    std::string off = ChannelMessage(midi::kNoteOff, note.channel, note.key);
    off.push_back(static_cast<char>(kNoteOffVelocity));
    track.Add(note.end, kNoteEnd, std::move(off));
  }
  return track.Chunk(end_tick);
}

}  // namespace

std::string BuildExchangeMidiFile(const ExchangePiece& piece) {
  std::string header;
  AppendBigEndian(header, kFormat, 2);
  AppendBigEndian(header, static_cast<uint32_t>(piece.parts.size() + 1), 2);
  AppendBigEndian(header, static_cast<uint32_t>(piece.division), 2);
  std::string file;
  midi::AppendChunk(file, midi::kHeaderChunkId, header);
  file += TempoTrack(piece);
  for (const ExchangePart& part : piece.parts) {
    file += PartTrack(part, piece.end_tick);
  }
  return file;
}

}  // namespace tessavar
