// The score store: 16 tracks of event slots that the composer fills phrase
// by phrase and the MIDI writer reads. Slots grow as needed, so no
// composition is cut for its length.
//
// Every phrase starts at the same slot on all tracks, so the shorter tracks
// of a phrase leave runs of empty slots behind; in a long piece most slots
// are such padding. A track therefore keeps only the runs of slots that
// were written (or grown over by a write), and every other slot reads as
// empty.
#ifndef TESSAVAR_ENGINE_SCORE_H_
#define TESSAVAR_ENGINE_SCORE_H_

#include <array>
#include <span>
#include <vector>

#include "engine/track_count.h"

namespace tessavar {

struct ScoreEvent {
  int pitch = 0;     // MIDI note number after finishing (pitch code before)
  int velocity = 0;  // 0 for a rest
  int duration = 0;  // in half units (a voice's duration code); 0 = empty
};

class Score {
 public:
  // Consecutive stored slots of a track, starting at slot `first`.
  struct Run {
    int first = 0;
    std::span<const ScoreEvent> events;
  };

  // Erases every slot of every track (the storage is kept for reuse).
  void Clear();

  // The slot for writing; the track grows to hold it.
  ScoreEvent& At(int track, int slot) { return Slots(track, slot, 1)[0]; }
  // Slots first .. first + count - 1 of a track for writing, as At would
  // give them one by one (the track grows to hold them). Writing after the
  // last slot, as the composer does, never moves what is stored.
  std::span<ScoreEvent> Slots(int track, int first, int count);
  // The slot for reading; an empty event outside the stored slots.
  ScoreEvent Get(int track, int slot) const;

  // Slots held by a track (written or grown over); slots beyond are empty.
  int SlotCount(int track) const;
  // Slots of a track with a duration above 0.
  int EventCount(int track) const;

  // The stored runs of a track in slot order; slots outside them are
  // empty. Index 0 .. RunCount - 1.
  int RunCount(int track) const;
  Run RunAt(int track, int index) const;
  std::span<ScoreEvent> MutableRun(int track, int index);

  // Highest slot with a duration above 0 over all tracks, plus 1; 0 when
  // the store is empty.
  int UsedLength() const;

 private:
  struct StoredRun {
    int first;
    int count;
    ScoreEvent* events;
    int end() const { return first + count; }
  };

  // One track: sorted, non-overlapping runs whose events live in blocks
  // that never move once reserved.
  class Track {
   public:
    void Clear();
    std::span<ScoreEvent> Slots(int first, int count);
    ScoreEvent Get(int slot) const;
    int SlotCount() const { return runs_.empty() ? 0 : runs_.back().end(); }
    const std::vector<StoredRun>& runs() const { return runs_; }

   private:
    // Room for `count` new events; they are empty.
    ScoreEvent* Allocate(int count);
    // A new run for slots that lie wholly in a gap.
    std::span<ScoreEvent> InsertRun(size_t position, int first, int count);
    // One run covering the slots and every run they overlap.
    std::span<ScoreEvent> MergeRuns(int first, int count);

    std::vector<StoredRun> runs_;
    std::vector<std::vector<ScoreEvent>> blocks_;
    size_t current_block_ = 0;
  };

  [[noreturn]] static void ThrowOutOfRange();

  std::array<Track, kTrackCount> tracks_;
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_SCORE_H_
