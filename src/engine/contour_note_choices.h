// What the contour search may pick for each note of a melody.
#ifndef TESSAVAR_ENGINE_CONTOUR_NOTE_CHOICES_H_
#define TESSAVAR_ENGINE_CONTOUR_NOTE_CHOICES_H_

#include <array>

namespace tessavar {

inline constexpr int kContourChoiceColumns = 3;
// Per note: the melody pitch, then the two harmony pitches.
using ContourNoteChoices = std::array<int, kContourChoiceColumns>;

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_CONTOUR_NOTE_CHOICES_H_
