// The timing of a Standard MIDI File read straight from its bytes: the
// division, the tempo changes and the total length in ticks, and the
// conversions between ticks and time. The player and the audio renderer use
// it for lengths and positions, independently of the synthesizer.
#ifndef TESSAVAR_MIDI_MIDI_TIMING_H_
#define TESSAVAR_MIDI_MIDI_TIMING_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessavar {

inline constexpr int64_t kDefaultMicrosecondsPerQuarter = 500000;

struct TempoChange {
  int64_t tick = 0;
  int64_t microseconds_per_quarter = kDefaultMicrosecondsPerQuarter;
};

// Told every event while a file is parsed, so that other readers share the
// one parser. Offsets are positions in the parsed bytes.
class MidiEventSink {
 public:
  virtual ~MidiEventSink() = default;
  virtual void TrackStart(int /*track*/) {}
  // A channel message with its status byte (running status resolved) and
  // its data bytes (data2 is 0 for one-byte messages); data_offset is where
  // its first data byte lies.
  virtual void ChannelEvent(int64_t /*tick*/, int /*status*/, int /*data1*/,
                            int /*data2*/, size_t /*data_offset*/) {}
  virtual void MetaEvent(int64_t /*tick*/, int /*type*/,
                         std::string_view /*data*/) {}
  // The end of a track at its last tick.
  virtual void TrackEnd(int64_t /*tick*/) {}
};

class MidiTiming {
 public:
  // Reads the header and every track of a Standard MIDI File. Throws
  // RunTimeError (invalid call or argument) naming the fault when the bytes
  // are not a MIDI file, an event is malformed, the division is in time
  // code (not playable here) or the file is longer than 2^31 - 1 ticks.
  // The sink, when given, is told every event as it is read.
  static MidiTiming Parse(std::string_view bytes,
                          MidiEventSink* sink = nullptr);
  // Reads the file (looked up case-insensitively) and parses it; file
  // errors throw RunTimeError with their classic numbers.
  static MidiTiming ReadFile(const std::string& path);

  int format() const { return format_; }
  int track_count() const { return track_count_; }
  // Ticks per quarter note.
  int division() const { return division_; }
  // The tick of the last event (end of track included) over all tracks.
  int64_t total_ticks() const { return total_ticks_; }
  // Tempo changes in tick order, starting with the tempo in force at tick 0.
  const std::vector<TempoChange>& tempo_changes() const { return tempos_; }

  int64_t TicksToMicroseconds(int64_t tick) const;
  // Whole milliseconds, rounded to nearest.
  int64_t TicksToMs(int64_t tick) const;
  // The last tick whose time is not after the given time, within
  // 0..total_ticks().
  int64_t MsToTicks(int64_t milliseconds) const;
  int64_t LengthMs() const { return TicksToMs(total_ticks_); }
  int64_t LengthMicroseconds() const {
    return TicksToMicroseconds(total_ticks_);
  }

 private:
  int format_ = 0;
  int track_count_ = 0;
  int division_ = 96;
  int64_t total_ticks_ = 0;
  std::vector<TempoChange> tempos_{TempoChange{}};
};

}  // namespace tessavar

#endif  // TESSAVAR_MIDI_MIDI_TIMING_H_
