// The contour search of one melody: for each of 22 up/down patterns, the
// first of 100 combinations (each note the melody pitch or one of its two
// harmony pitches) whose melodic direction follows the pattern best. The
// combinations come from the voice choice table through a cursor that
// advances by the melody's length per trial, so pattern p's trials read a
// fixed window of the table and each pattern can be searched on its own.
#ifndef TESSAVAR_ENGINE_CONTOUR_SEARCH_H_
#define TESSAVAR_ENGINE_CONTOUR_SEARCH_H_

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/contour_note_choices.h"
#include "engine/voice_string.h"

namespace tessavar {

class ContourSearch {
 public:
  static constexpr int kPatternCount = 22;
  static constexpr int kChoiceColumns = kContourChoiceColumns;
  using NoteChoices = ContourNoteChoices;

  // Keeps what the search needs: the choices, the melody's durations, the
  // key and a copy of the part of `choice_table` that the 22 patterns read
  // (indices past the table wrap around; an empty table reads as 0). The
  // copy of `previous` is shared when the table still holds it, as it does
  // for every phrase of one composition. Throws std::out_of_range when an
  // entry read is not 0, 1 or 2. `choices` and `durations` have the same,
  // non-zero length.
  ContourSearch(std::vector<NoteChoices> choices, std::vector<int> durations,
                const std::vector<int16_t>& choice_table, int key,
                const ContourSearch* previous = nullptr);

  // The voice of pattern 0..21: the best combination with the melody's
  // durations, snapped to the key.
  VoiceString Voice(int pattern) const;

 private:
  int NoteCount() const { return static_cast<int>(choices_.size()); }

  std::vector<NoteChoices> choices_;
  std::vector<int> durations_;
  int key_;
  // Entry i is the choice table's entry under cursor position i.
  std::shared_ptr<const std::vector<int16_t>> columns_;
  // Per step q: sign(pitch(q + 1, b) - pitch(q, a)) at index 3 a + b.
  std::vector<std::array<int8_t, kChoiceColumns * kChoiceColumns>> steps_;
};

// Moves every pitch outside the major (or minor) scale of the key down to
// the scale tone below it; a negative key changes nothing. Pure.
VoiceString SnapVoiceToKey(const VoiceString& voice, int key);

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_CONTOUR_SEARCH_H_
