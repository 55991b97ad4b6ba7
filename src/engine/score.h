// The score store: 16 tracks of event slots that the composer fills phrase
// by phrase and the MIDI writer reads. Slots grow as needed, so no
// composition is cut for its length.
#ifndef TESSAVAR_ENGINE_SCORE_H_
#define TESSAVAR_ENGINE_SCORE_H_

#include <array>
#include <span>
#include <vector>

namespace tessavar {

inline constexpr int kTrackCount = 16;

struct ScoreEvent {
  int pitch = 0;     // MIDI note number after finishing (pitch code before)
  int velocity = 0;  // 0 for a rest
  int duration = 0;  // in half units (a voice's duration code); 0 = empty
};

class Score {
 public:
  // Erases every slot of every track.
  void Clear();

  // The slot for writing; the track grows to hold it.
  ScoreEvent& At(int track, int slot) {
    std::vector<ScoreEvent>& events = Track(track);
    if (slot < 0) ThrowOutOfRange();
    if (static_cast<size_t>(slot) >= events.size()) events.resize(slot + 1);
    return events[slot];
  }
  // Slots first .. first + count - 1 of a track for writing, as At would
  // give them one by one (the track grows to hold them).
  std::span<ScoreEvent> Slots(int track, int first, int count);
  // The slot for reading; an empty event beyond the written slots.
  ScoreEvent Get(int track, int slot) const {
    if (track < 0 || track >= kTrackCount || slot < 0) return {};
    const std::vector<ScoreEvent>& events = tracks_[track];
    if (static_cast<size_t>(slot) >= events.size()) return {};
    return events[slot];
  }

  // Slots held by a track (written or grown over); slots beyond are empty.
  int SlotCount(int track) const;
  // Those slots in order; empty for a track outside 0..15.
  std::span<const ScoreEvent> Events(int track) const;

  // Highest slot with a duration above 0 over all tracks, plus 1; 0 when
  // the store is empty.
  int UsedLength() const;

 private:
  std::vector<ScoreEvent>& Track(int track) {
    if (track < 0 || track >= kTrackCount) ThrowOutOfRange();
    return tracks_[track];
  }
  [[noreturn]] static void ThrowOutOfRange();

  std::array<std::vector<ScoreEvent>, kTrackCount> tracks_;
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_SCORE_H_
