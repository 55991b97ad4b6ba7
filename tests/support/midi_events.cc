#include "support/midi_events.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sstream>

namespace tessavar::testing {
namespace {

class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  bool Has(size_t count) const { return bytes_.size() - pos_ >= count; }
  size_t pos() const { return pos_; }
  uint8_t Byte() { return static_cast<uint8_t>(bytes_[pos_++]); }
  uint8_t Peek() const { return static_cast<uint8_t>(bytes_[pos_]); }
  std::string_view From(size_t start) const {
    return bytes_.substr(start, pos_ - start);
  }
  std::string_view Take(size_t count) {
    std::string_view part = bytes_.substr(pos_, count);
    pos_ += count;
    return part;
  }
  uint32_t BigEndian(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | Byte();
    return value;
  }
  bool Vlq(uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4 && !AtEnd(); ++i) {
      uint8_t byte = Byte();
      value = value << 7 | (byte & 0x7F);
      if ((byte & 0x80) == 0) return true;
    }
    return false;
  }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

int DataLength(uint8_t status) {
  const uint8_t kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

std::vector<MidiEvent> ReadTrack(std::string_view body) {
  std::vector<MidiEvent> events;
  ByteReader in(body);
  long ticks = 0;
  uint8_t running = 0;
  while (!in.AtEnd()) {
    uint32_t delta = 0;
    if (!in.Vlq(delta) || in.AtEnd()) break;
    ticks += delta;
    MidiEvent event{ticks, {}};
    uint8_t status = in.Peek() & 0x80 ? in.Byte() : running;
    event.bytes.push_back(static_cast<char>(status));
    size_t length = 0;
    if (status == 0xFF || status == 0xF0 || status == 0xF7) {
      if (status == 0xFF) {
        if (in.AtEnd()) break;
        event.bytes.push_back(static_cast<char>(in.Byte()));
      }
      const size_t start = in.pos();
      uint32_t size = 0;
      if (!in.Vlq(size)) break;
      event.bytes += in.From(start);
      length = size;
    } else if (status >= 0x80) {
      running = status;
      length = DataLength(status);
    } else {
      break;
    }
    if (!in.Has(length)) break;
    event.bytes += in.Take(length);
    events.push_back(std::move(event));
  }
  return events;
}

std::string Describe(const std::vector<MidiEvent>& track, size_t index) {
  if (index >= track.size()) return "(none)";
  std::ostringstream text;
  text << "at tick " << track[index].ticks << ":";
  for (char byte : track[index].bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", static_cast<uint8_t>(byte));
    text << hex;
  }
  return text.str();
}

}  // namespace

std::vector<std::vector<MidiEvent>> ReadMidiEvents(std::string_view file) {
  std::vector<std::vector<MidiEvent>> tracks;
  ByteReader in(file);
  while (in.Has(8)) {
    std::string_view id = in.Take(4);
    uint32_t size = in.BigEndian(4);
    if (!in.Has(size)) break;
    std::string_view body = in.Take(size);
    if (id == "MTrk") tracks.push_back(ReadTrack(body));
  }
  return tracks;
}

std::string FirstMidiDifference(std::string_view expected,
                                std::string_view actual) {
  auto want = ReadMidiEvents(expected);
  auto got = ReadMidiEvents(actual);
  for (size_t t = 0; t < std::max(want.size(), got.size()); ++t) {
    static const std::vector<MidiEvent> kNoTrack;
    const auto& a = t < want.size() ? want[t] : kNoTrack;
    const auto& b = t < got.size() ? got[t] : kNoTrack;
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
      if (i < a.size() && i < b.size() && a[i] == b[i]) continue;
      std::ostringstream text;
      text << "track " << t << ", event " << i << ": expected "
           << Describe(a, i) << ", got " << Describe(b, i);
      return text.str();
    }
  }
  if (expected != actual) return "same events, different bytes";
  return "";
}

}  // namespace tessavar::testing
