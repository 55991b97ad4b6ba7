// Everything that describes a mapped parameter, one row each: its caption
// and what it does, the range and first position of its box, where the
// panel shows it, and the treatment that 0 in its box switches off.
#ifndef TESSAVAR_ENGINE_MAPPED_PARAMETER_ROWS_H_
#define TESSAVAR_ENGINE_MAPPED_PARAMETER_ROWS_H_

#include <array>

#include "engine/mapped_parameter.h"
#include "engine/option_flags.h"

namespace tessavar {

struct MappedParameterRow {
  MappedParameter id;
  const char* caption;
  // The tip after the caption and the range.
  const char* description;
  int low;
  int high;
  int initial;     // the spinner's position in a new panel
  int screen_row;  // from the top of the panel
  // The treatment that 0 in the box turns off, or nullptr.
  bool OptionFlags::*switch_flag;
};

inline constexpr auto kMappedParameterRows = std::to_array<MappedParameterRow>({
    {MappedParameter::kActiveVoices, "Active Voices",
     "how many tracks sound at the same time in each phrase. At the start of "
     "the piece the voices enter one after another.",
     1, 12, 1, 0, nullptr},
    {MappedParameter::kPeriodLength, "Period Length",
     "how many phrases a period has.", 1, 4, 1, 1, nullptr},
    {MappedParameter::kPeriodRepeat, "Period Repeat",
     "whether periods are played again, twice or four times, each later "
     "pass shorter than the one before.",
     0, 4, 0, 2, &OptionFlags::repeat},
    {MappedParameter::kPhraseLength, "Phrase Len.",
     "how many notes a phrase has.", 1, 12, 1, 3, nullptr},
    {MappedParameter::kCurrentKey, "Current Key",
     "the transposition of each phrase, which moves the music through "
     "different keys.",
     1, 12, 1, 5, nullptr},
    {MappedParameter::kNotePitch, "Note Pitch",
     "the pitch of each note of the melody.", 1, 29, 13, 6, nullptr},
    {MappedParameter::kNoteDuration, "Note Duration",
     "the length of each note.", 1, 29, 13, 7, nullptr},
    {MappedParameter::kGlissando, "Glissando",
     "passing notes that fill the leaps of the accompanying voices.", 0, 12, 0,
     8, &OptionFlags::glissando},
    {MappedParameter::kPointillism, "Pointillism",
     "splits the melody over three voices, so that its notes hop from "
     "instrument to instrument.",
     0, 12, 0, 9, &OptionFlags::pointillism},
    {MappedParameter::kRhythm, "Rhythm",
     "fits phrases to the bar of a fixed meter and gives one track a "
     "rhythmic pulse voice.",
     0, 12, 0, 10, &OptionFlags::rhythm},
    {MappedParameter::kPhraseMirror, "Phrase Mirror",
     "mirrored phrases, which run forward to their middle and then back "
     "again.",
     0, 12, 0, 4, &OptionFlags::mirror},
    {MappedParameter::kRhythmTrack, "Rhythm Track",
     "which track plays the pulse voice.", 1, 12, 1, 11, nullptr},
    {MappedParameter::kDynamics, "Dynamics",
     "accents that shape the loudness of the notes by their length. Off, "
     "every note of a track plays at an even level.",
     0, 12, 1, 12, &OptionFlags::dynamics},
    {MappedParameter::kCompression, "Compression",
     "narrows the range of the melody's pitches.", 0, 12, 1, 13,
     &OptionFlags::compression},
});

static_assert(kMappedParameterRows.size() == kMappedParameterCount,
              "one row per mapped parameter");

constexpr const MappedParameterRow& MappedRow(MappedParameter parameter) {
  return kMappedParameterRows[MappedIndex(parameter)];
}

// Rows in enum order, screen rows a permutation, and a switch exactly where
// the box reaches 0 (0 is "off").
constexpr bool RowsAreConsistent() {
  std::array<bool, kMappedParameterCount> row_taken{};
  for (int i = 0; i < kMappedParameterCount; ++i) {
    const MappedParameterRow& row = kMappedParameterRows[i];
    if (MappedIndex(row.id) != i || row.low > row.initial ||
        row.initial > row.high ||
        (row.switch_flag != nullptr) != (row.low == 0)) {
      return false;
    }
    if (row.screen_row < 0 || row.screen_row >= kMappedParameterCount ||
        row_taken[row.screen_row]) {
      return false;
    }
    row_taken[row.screen_row] = true;
  }
  return true;
}
static_assert(RowsAreConsistent());

// The parameters' indices from the top of the panel to the bottom.
constexpr std::array<int, kMappedParameterCount> MappedScreenOrder() {
  std::array<int, kMappedParameterCount> order{};
  for (int i = 0; i < kMappedParameterCount; ++i) {
    order[kMappedParameterRows[i].screen_row] = i;
  }
  return order;
}
inline constexpr std::array<int, kMappedParameterCount> kMappedScreenOrder =
    MappedScreenOrder();

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_MAPPED_PARAMETER_ROWS_H_
