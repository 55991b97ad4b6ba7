// What one composition fixes at its set-up and the phrase loops share: the
// option flags, the feature indexes chosen for the mapped parameters and
// the hidden choices, the feature vector, and the panel values the phrase
// assembly reads.
#ifndef TESSAVAR_ENGINE_COMPOSER_SETTINGS_H_
#define TESSAVAR_ENGINE_COMPOSER_SETTINGS_H_

#include <array>

#include "engine/mapped_parameter.h"
#include "engine/option_flags.h"
#include "engine/scale_tables.h"
#include "engine/track_count.h"

namespace tessavar {

// The feature vector holds the period's features (from the period digit),
// then the phrase's (phrase digit, and mixed with the period's), then the
// note's (note digit, and mixed with both).
inline constexpr int kPeriodFeatureStart = 0;
inline constexpr int kPhraseFeatureStart = 4;
inline constexpr int kNoteFeatureStart = 12;
inline constexpr int kFeatureCount = 28;

using FeatureVector = std::array<double, kFeatureCount>;

// Feature indexes of the choices that no box shows: which feature decides
// each of them.
struct HiddenChoices {
  int voice1_rests = 0;    // rests in the first harmony voice
  int voice2_rests = 0;    // rests in the second harmony voice
  int mixed_rests = 0;     // rests in the mixed voice
  int pulse = 0;           // whether a phrase gets a pulse voice
  int inversion = 0;       // whether a note's pitch is inverted
  int retrograde = 0;      // whether a phrase runs backwards
  int period_cadence = 0;  // a cadence at the end of a period
  int phrase_cadence = 0;  // a cadence at the end of a phrase
  int guided_voices = 0;   // harmony voices that follow the melody
  int counter_voices = 0;  // counter voices rather than contour voices
};

// Feature indexes: m[p] for the mapped parameter p, and the hidden ones.
struct FeatureChoices {
  MappedArray<int> m;
  HiddenChoices hidden;
};

struct ComposerSettings {
  int seed = 0;
  int key = 0;
  int tracks = 1;
  int digit_count = 0;  // n
  int min_dur = 2;
  int max_dur = 12;
  // List indices; a list without a selection reads as its first entry.
  int tonality = 0;
  int meter = 0;
  int fade = 0;
  OptionFlags flags;
  FeatureChoices choices;
  ScaleTables scales{0, ""};
  std::array<bool, kTrackCount> tie{};
  std::array<int, kTrackCount> volume{};
};

// Where in the piece a phrase stands.
struct PhrasePosition {
  int period = 0;  // p
  int pass = 0;
  int reps = 0;
  int phrase = 0;          // q
  int last_phrase = 0;     // after the per-pass halving
  int period_phrases = 1;  // before the halving (the fade uses it)
  bool final_period = false;
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_COMPOSER_SETTINGS_H_
