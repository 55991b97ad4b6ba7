#include "midi/midi_timing.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "base/file_system.h"
#include "base/status.h"
#include "midi/midi_bytes.h"

namespace tessavar {
namespace {

constexpr int64_t kMaxTicks = std::numeric_limits<int32_t>::max();

[[noreturn]] void Fail(const std::string& what) {
  throw RunTimeError(
      Status(kErrInvalidCall, {}, 0, "Not a valid MIDI file: " + what));
}

// A tempo change with its place in the file, so that changes at the same
// tick apply in file order (later tracks last).
struct PlacedTempo {
  int64_t tick;
  int track;
  int64_t order;
  int64_t microseconds_per_quarter;
};

class ByteReader {
 public:
  ByteReader(std::string_view bytes, size_t begin, size_t end)
      : bytes_(bytes), pos_(begin), end_(end) {}

  bool AtEnd() const { return pos_ >= end_; }
  size_t pos() const { return pos_; }

  int Byte() {
    if (AtEnd()) Fail("an event runs past the end of its track");
    return static_cast<unsigned char>(bytes_[pos_++]);
  }

  // A variable-length quantity of at most four bytes.
  int64_t VariableLength() {
    const std::optional<midi::VariableLength> number =
        midi::ReadVariableLength(bytes_, pos_, end_);
    if (number) {
      pos_ = number->end;
      return number->value;
    }
    // Four bytes were there: all of them said that more follow.
    if (end_ - pos_ >= midi::kMaxVariableLengthBytes) {
      Fail("a variable-length number is longer than four bytes");
    }
    Fail("an event runs past the end of its track");
  }

  // The next count bytes, skipped over.
  std::string_view Take(int64_t count) {
    size_t start = pos_;
    Skip(count);
    return bytes_.substr(start, pos_ - start);
  }

  void Skip(int64_t count) {
    if (count < 0 || static_cast<uint64_t>(count) > end_ - pos_) {
      Fail("an event runs past the end of its track");
    }
    pos_ += static_cast<size_t>(count);
  }

 private:
  std::string_view bytes_;
  size_t pos_;
  size_t end_;
};

using midi::ReadBigEndian;

// Data bytes that follow a channel status byte.
int ChannelDataLength(int status) {
  int kind = status & midi::kStatusKindMask;
  return kind == midi::kProgramChange || kind == midi::kChannelPressure ? 1 : 2;
}

// Reads the data bytes of a channel message whose first data byte is
// `first` and tells the sink.
void ReadChannelEvent(ByteReader& reader, int64_t tick, int status, int first,
                      MidiEventSink& sink) {
  size_t offset = reader.pos() - 1;
  int second = ChannelDataLength(status) == 2 ? reader.Byte() : 0;
  sink.ChannelEvent(tick, status, first, second, offset);
}

// Reads one track chunk; returns its end tick and collects its tempos.
int64_t ReadTrack(ByteReader reader, int track,
                  std::vector<PlacedTempo>& tempos, MidiEventSink& sink) {
  sink.TrackStart(track);
  int64_t tick = 0;
  int64_t order = 0;
  int running_status = 0;
  while (!reader.AtEnd()) {
    tick += reader.VariableLength();
    if (tick > kMaxTicks) Fail("the file is too long");
    int status = reader.Byte();
    if (status < midi::kStatusBit) {
      if (running_status == 0) Fail("a data byte without a status byte");
      ReadChannelEvent(reader, tick, running_status, status, sink);
      continue;
    }
    if (status < midi::kSysEx) {
      running_status = status;
      ReadChannelEvent(reader, tick, status, reader.Byte(), sink);
      continue;
    }
    if (status == midi::kMetaEvent) {
      int type = reader.Byte();
      int64_t length = reader.VariableLength();
      if (type == midi::kMetaEndOfTrack) break;
      std::string_view data = reader.Take(length);
      sink.MetaEvent(tick, type, data);
      if (type == midi::kMetaTempo && length == 3) {
        int64_t tempo = ReadBigEndian(data, 0, 3);
        tempos.push_back({tick, track, order++, tempo});
      }
    } else if (status == midi::kSysEx || status == midi::kSysExContinuation) {
      reader.Skip(reader.VariableLength());
    } else {
      Fail("a system message that has no place in a file");
    }
    running_status = 0;  // meta and system events cancel running status
  }
  // A track without an end-of-track event ends at its last event.
  sink.TrackEnd(tick);
  return tick;
}

}  // namespace

MidiTiming MidiTiming::Parse(std::string_view bytes, MidiEventSink* sink) {
  MidiEventSink ignore_events;
  if (sink == nullptr) sink = &ignore_events;
  if (bytes.size() < 14 || bytes.substr(0, 4) != midi::kHeaderChunkId) {
    Fail("no MIDI header");
  }
  uint32_t header_length = ReadBigEndian(bytes, 4, 4);
  if (header_length < 6 || header_length > bytes.size() - 8) {
    Fail("the header is damaged");
  }
  MidiTiming timing;
  timing.format_ = static_cast<int>(ReadBigEndian(bytes, 8, 2));
  timing.track_count_ = static_cast<int>(ReadBigEndian(bytes, 10, 2));
  uint32_t division = ReadBigEndian(bytes, 12, 2);
  if (division & 0x8000) Fail("time-code division is not supported");
  if (division == 0) Fail("the division is 0");
  timing.division_ = static_cast<int>(division);

  std::vector<PlacedTempo> tempos;
  int track = 0;
  // A chunk cut short by the end of the file keeps what it holds.
  for (auto chunk = midi::ChunkAt(bytes, 8 + header_length); chunk;
       chunk = midi::ChunkAt(bytes, chunk->end)) {
    if (chunk->id == midi::kTrackChunkId) {
      timing.total_ticks_ =
          std::max(timing.total_ticks_,
                   ReadTrack(ByteReader(bytes, chunk->begin, chunk->end),
                             track++, tempos, *sink));
    }
  }
  if (track == 0) Fail("no track");

  std::stable_sort(tempos.begin(), tempos.end(),
                   [](const PlacedTempo& a, const PlacedTempo& b) {
                     return a.tick < b.tick;
                   });
  for (const PlacedTempo& tempo : tempos) {
    if (tempo.microseconds_per_quarter == 0) {
      timing.has_zero_tempo_ = true;  // unplayable; the other tempos hold
      continue;
    }
    if (tempo.tick == timing.tempos_.back().tick) {
      timing.tempos_.back().microseconds_per_quarter =
          tempo.microseconds_per_quarter;
    } else {
      timing.tempos_.push_back({tempo.tick, tempo.microseconds_per_quarter});
    }
  }
  return timing;
}

MidiTiming MidiTiming::ReadFile(const std::string& path) {
  return Parse(ReadWholeFile(path));
}

int64_t MidiTiming::TicksToMicroseconds(int64_t tick) const {
  int64_t micros = 0;
  for (size_t i = 0; i < tempos_.size(); ++i) {
    int64_t segment_end =
        i + 1 < tempos_.size() ? std::min(tick, tempos_[i + 1].tick) : tick;
    int64_t ticks = segment_end - tempos_[i].tick;
    if (ticks <= 0) break;
    // ticks < 2^31 and the tempo < 2^24, so the product fits.
    micros += ticks * tempos_[i].microseconds_per_quarter / division_;
  }
  return micros;
}

int64_t MidiTiming::TicksToMs(int64_t tick) const {
  return (TicksToMicroseconds(tick) + 500) / 1000;
}

int64_t MidiTiming::MsToTicks(int64_t milliseconds) const {
  if (milliseconds <= 0) return 0;
  int64_t target = milliseconds * 1000;
  int64_t micros = 0;
  for (size_t i = 0; i < tempos_.size(); ++i) {
    const TempoChange& tempo = tempos_[i];
    bool last = i + 1 == tempos_.size();
    int64_t segment_ticks =
        last ? total_ticks_ - tempo.tick : tempos_[i + 1].tick - tempo.tick;
    int64_t segment_micros =
        segment_ticks * tempo.microseconds_per_quarter / division_;
    if (last || micros + segment_micros > target) {
      int64_t ticks =
          (target - micros) * division_ / tempo.microseconds_per_quarter;
      return std::clamp<int64_t>(tempo.tick + ticks, 0, total_ticks_);
    }
    micros += segment_micros;
  }
  return total_ticks_;
}

}  // namespace tessavar
