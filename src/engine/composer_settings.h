// What one composition fixes at its set-up and the phrase loops share: the
// option flags, the feature indexes chosen for the mapped parameters and
// the hidden choices, the feature vector, and the panel values the phrase
// assembly reads.
#ifndef TESSAVAR_ENGINE_COMPOSER_SETTINGS_H_
#define TESSAVAR_ENGINE_COMPOSER_SETTINGS_H_

#include <array>

#include "engine/mapped_parameter.h"
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

// Option flags, each 0 or 1.
struct OptionFlags {
  int pulse = 0;
  int rhythm = 0;
  int invert = 0;
  int retro = 0;
  int compression = 0;
  int phrase_shape = 0;
  int note_smooth = 0;
  int power_two = 0;
  int repeat = 0;
  int period_shape = 0;
  int smooth_periods = 0;
  int smooth_phrases = 0;
  int pointillism = 0;
  int glissando = 0;
  int mirror = 0;
  int period_cadence = 0;
  int phrase_cadence = 0;
  int dynamics = 0;
  int lone = 0;
};

// Feature indexes: m[p] for the mapped parameter p, c[i] for the hidden
// choice ci (c[0] and c[5] are unused).
struct FeatureChoices {
  MappedArray<int> m;
  std::array<int, 12> c{};
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
