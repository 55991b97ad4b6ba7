#include "midi/midi_reader.h"

#include <algorithm>
#include <array>
#include <utility>

#include "base/file_system.h"
#include "midi/midi_bytes.h"

namespace tessavar {
namespace {

using midi::kMetaTimeSignature;
using midi::kMetaTrackName;
using midi::kNoteOff;
using midi::kNoteOn;
using midi::kProgramChange;
constexpr int kKindMask = midi::kStatusKindMask;
using midi::kChannelMask;
constexpr int kKeys = 128;

bool IsNoteOn(int status, int velocity) {
  return (status & kKindMask) == kNoteOn && velocity > 0;
}

bool IsNoteOff(int status, int velocity) {
  int kind = status & kKindMask;
  return kind == kNoteOff || (kind == kNoteOn && velocity == 0);
}

// The notes sounding on one key of one channel, oldest first: a queue whose
// front moves on instead of erasing, so that each pairing costs the same
// however many notes overlap.
class OpenNotes {
 public:
  bool empty() const { return head_ == indices_.size(); }
  void Push(int index) { indices_.push_back(index); }
  int PopFront() {
    const int index = indices_[head_++];
    if (empty()) Clear();
    return index;
  }
  void Clear() {
    indices_.clear();
    head_ = 0;
  }
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (size_t i = head_; i < indices_.size(); ++i) visit(indices_[i]);
  }

 private:
  std::vector<int> indices_;  // into MidiTrack::notes
  size_t head_ = 0;
};

// Pairs note-ons with note-offs per track, channel and key, first in first
// out; notes still sounding at the end of their track end there.
class NoteCollector : public MidiEventSink {
 public:
  explicit NoteCollector(MidiContent& content) : content_(content) {}

  void TrackStart(int /*track*/) override {
    content_.tracks.emplace_back();
    for (auto& keys : open_) {
      for (OpenNotes& starts : keys) starts.Clear();
    }
  }

  void ChannelEvent(int64_t tick, int status, int data1, int data2,
                    size_t /*data_offset*/) override {
    MidiTrack& track = content_.tracks.back();
    int channel = status & kChannelMask;
    if (data1 >= kKeys) return;  // a damaged event
    if ((status & kKindMask) == kProgramChange) {
      if (track.program < 0) track.program = data1;
      return;
    }
    if ((status & kKindMask) == midi::kControlChange) {
      if (data1 == midi::kPanController && track.pan < 0) track.pan = data2;
      return;
    }
    if (IsNoteOn(status, data2)) {
      open_[channel][data1].Push(static_cast<int>(track.notes.size()));
      track.notes.push_back({tick, tick, data1, data2, channel});
    } else if (IsNoteOff(status, data2)) {
      OpenNotes& starts = open_[channel][data1];
      if (!starts.empty()) track.notes[starts.PopFront()].end = tick;
    }
  }

  void MetaEvent(int64_t /*tick*/, int type, std::string_view data) override {
    MidiTrack& track = content_.tracks.back();
    if (type == kMetaTrackName && track.name.empty()) {
      track.name = std::string(data);
    } else if (type == kMetaTimeSignature && data.size() >= 2 &&
               !time_signature_seen_) {
      time_signature_seen_ = true;
      int numerator = static_cast<unsigned char>(data[0]);
      int power = static_cast<unsigned char>(data[1]);
      if (numerator > 0 && power <= 6) {
        content_.beats_per_bar = numerator;
        content_.beat_unit = 1 << power;
      }
    }
  }

  void TrackEnd(int64_t tick) override {
    MidiTrack& track = content_.tracks.back();
    for (auto& keys : open_) {
      for (const OpenNotes& starts : keys) {
        starts.ForEach([&](int index) { track.notes[index].end = tick; });
      }
    }
    // A note without length still shows (and ends at once when played).
    std::erase_if(track.notes,
                  [](const MidiNote& note) { return note.end <= note.start; });
  }

 private:
  MidiContent& content_;
  std::array<std::array<OpenNotes, kKeys>, midi::kChannelCount> open_;
  bool time_signature_seen_ = false;
};

// Collects where the velocity byte of every sounding note-on lies, per
// track.
class NoteOnFinder : public MidiEventSink {
 public:
  explicit NoteOnFinder(const std::vector<bool>& silent) : silent_(silent) {}

  void TrackStart(int track) override { track_ = track; }
  void ChannelEvent(int64_t /*tick*/, int status, int /*data1*/, int data2,
                    size_t data_offset) override {
    bool wanted = track_ < static_cast<int>(silent_.size()) && silent_[track_];
    if (wanted && IsNoteOn(status, data2)) offsets_.push_back(data_offset + 1);
  }

  const std::vector<size_t>& offsets() const { return offsets_; }

 private:
  const std::vector<bool>& silent_;
  int track_ = 0;
  std::vector<size_t> offsets_;
};

}  // namespace

int64_t MidiContent::NoteCount() const {
  int64_t count = 0;
  for (const MidiTrack& track : tracks) count += track.notes.size();
  return count;
}

int64_t MidiContent::TicksPerBar() const {
  return static_cast<int64_t>(timing.division()) * 4 * beats_per_bar /
         beat_unit;
}

Result<MidiContent> ReadMidiContent(std::string_view bytes) {
  MidiContent content;
  try {
    NoteCollector collector(content);
    content.timing = MidiTiming::Parse(bytes, &collector);
  } catch (const RunTimeError& error) {
    return error.status();
  }
  return content;
}

Result<MidiContent> ReadMidiContentFile(const std::string& path) {
  std::string bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const RunTimeError& error) {
    return error.status().WithPath(path);
  }
  Result<MidiContent> content = ReadMidiContent(bytes);
  if (!content.ok()) return content.status().WithPath(path);
  return content;
}

std::string SilenceTracks(std::string_view bytes,
                          const std::vector<bool>& silent) {
  std::string copy(bytes);
  if (std::find(silent.begin(), silent.end(), true) == silent.end()) {
    return copy;
  }
  NoteOnFinder finder(silent);
  try {
    MidiTiming::Parse(bytes, &finder);
  } catch (const RunTimeError&) {
    // Only the events read before the fault are silenced; such a file does
    // not play anyway.
  }
  for (size_t offset : finder.offsets()) copy[offset] = 0;
  return copy;
}

}  // namespace tessavar
