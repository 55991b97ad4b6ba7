// The score store: 16 tracks of event slots that the composer fills phrase
// by phrase and the MIDI writer reads. Slots grow as needed, so no
// composition is cut for its length.
#ifndef TESSAVAR_ENGINE_SCORE_H_
#define TESSAVAR_ENGINE_SCORE_H_

#include <array>
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
  ScoreEvent& At(int track, int slot);
  // The slot for reading; an empty event beyond the written slots.
  ScoreEvent Get(int track, int slot) const;

  // Slots held by a track (written or grown over); slots beyond are empty.
  int SlotCount(int track) const;

  // Highest slot with a duration above 0 over all tracks, plus 1; 0 when
  // the store is empty.
  int UsedLength() const;

 private:
  std::array<std::vector<ScoreEvent>, kTrackCount> tracks_;
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_SCORE_H_
