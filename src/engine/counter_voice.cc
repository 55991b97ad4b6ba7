#include "engine/counter_voice.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "engine/text_number.h"

namespace tessavar {
namespace {

// Pitch classes as 3-character fields ("05 "), read by position.
constexpr std::string_view kChromaticScale =
    "00 01 02 03 04 05 06 07 08 09 10 11 ";
constexpr std::string_view kMajorScale = "00 02 04 05 07 09 11 ";
constexpr std::string_view kMinorScale = "00 02 03 05 07 08 10 ";
// Consonant intervals above the melody, one digit each.
constexpr std::string_view kIntervals = "0345789";

std::string_view CounterScale(int key) {
  if (key < 0) return kChromaticScale;
  return key % 24 >= 12 ? kMinorScale : kMajorScale;
}

int FieldCount(std::string_view scale) {
  return static_cast<int>(scale.size() / 3);
}

// A random pitch class of the scale (one draw).
int DrawScalePitch(RandomStream& random, std::string_view scale) {
  const int field = ToInt(Int(random.NextRandom() * FieldCount(scale)));
  return ToInt(CInt(NumericValue(scale.substr(3 * field, 2))));
}

// Membership by the two-digit form with a leading zero ("05", "10").
bool InScale(std::string_view scale, int pitch_class) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", pitch_class);
  return scale.find(text) != std::string_view::npos;
}

// Character `position` (from 1) of the voice read as its text: the pitch
// codes come first, then the durations; 0 past the end.
int CharacterCode(const VoiceString& voice, size_t position) {
  const size_t n = voice.size();
  if (position >= 1 && position <= n) return voice.pitches[position - 1];
  if (position > n && position <= 2 * n) {
    return voice.durations[position - 1 - n];
  }
  return 0;
}

// The numeric value of one character: its digit for "0".."9", else 0.
int DigitValue(int code) { return code >= '0' && code <= '9' ? code - '0' : 0; }

}  // namespace

VoiceString GenerateCounterVoice(RandomStream& random, int seed, int key,
                                 const VoiceString& reference,
                                 const VoiceString& melody) {
  if (seed == 0 || melody.empty()) return {};

  // Integer negation: a multiple of 32767 gives +0, never -0.
  const double x = static_cast<double>(-(std::llabs(seed) % 32767));
  random.RestartRandom(x);
  random.MixRandom(x);

  const std::string_view scale = CounterScale(key);
  int ref = DrawScalePitch(random, scale);

  const size_t n = melody.size();
  const int tries = reference.empty() ? 3 : 7;
  VoiceString result;
  result.pitches.reserve(n);
  result.durations.reserve(n);
  for (size_t i = 1; i <= n; ++i) {
    if (!reference.empty()) ref = DigitValue(CharacterCode(reference, i));
    int c = melody.pitches[i - 1];
    if (c == kRestCode) c = DrawScalePitch(random, scale);
    c %= 12;
    if (c < 0) c += 12;

    // The candidate nearest to the reference; ties keep the earlier one.
    int best = kRestCode;
    for (int t = 0; t < tries; ++t) {
      int w = 0;
      do {
        const int index = ToInt(Int(random.NextRandom() * 7));
        w = c + (kIntervals[index] - '0');
      } while (!InScale(scale, w % 12));
      if (std::abs(w - ref) < std::abs(best - ref)) best = w;
    }
    result.Append(best, melody.durations[i - 1]);
    ref = best;
  }
  return result;
}

}  // namespace tessavar
