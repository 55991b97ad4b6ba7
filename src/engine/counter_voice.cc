#include "engine/counter_voice.h"

#include <array>
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

// The composer draws from the scales note by note, so each text is turned
// into its fields and its membership once, at compile time.
struct CounterScaleTable {
  // The fields in order; the first `count` are used.
  std::array<int, 12> fields{};
  int count = 0;
  // Whether the two-digit form ("05", "10") of each pitch class occurs in
  // the text.
  std::array<bool, 12> member{};
};

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr CounterScaleTable MakeCounterScale(std::string_view text) {
  CounterScaleTable table;
  table.count = static_cast<int>(text.size() / 3);
  for (int f = 0; f < table.count; ++f) {
    table.fields[f] = 10 * (text[3 * f] - '0') + (text[3 * f + 1] - '0');
  }
  for (int pc = 0; pc < 12; ++pc) {
    const char form[] = {static_cast<char>('0' + pc / 10),
                         static_cast<char>('0' + pc % 10)};
    table.member[pc] =
        text.find(std::string_view(form, 2)) != std::string_view::npos;
  }
  return table;
}

// Fields of two digits and a blank, at most 12 of them.
constexpr bool IsCounterScaleText(std::string_view text) {
  if (text.size() % 3 != 0 || text.size() > 36) return false;
  for (size_t i = 0; i < text.size(); i += 3) {
    if (!IsDigit(text[i]) || !IsDigit(text[i + 1]) || text[i + 2] != ' ') {
      return false;
    }
  }
  return true;
}
static_assert(IsCounterScaleText(kChromaticScale) &&
              IsCounterScaleText(kMajorScale) &&
              IsCounterScaleText(kMinorScale));

constexpr CounterScaleTable kChromaticTable = MakeCounterScale(kChromaticScale);
constexpr CounterScaleTable kMajorTable = MakeCounterScale(kMajorScale);
constexpr CounterScaleTable kMinorTable = MakeCounterScale(kMinorScale);

const CounterScaleTable& CounterScale(int key) {
  if (key < 0) return kChromaticTable;
  return key % 24 >= 12 ? kMinorTable : kMajorTable;
}

// A random pitch class of the scale (one draw).
int DrawScalePitch(RandomStream& random, const CounterScaleTable& scale) {
  const int field = ToInt(Int(random.NextRandom() * scale.count));
  return scale.fields[field];
}

// Membership of a pitch class 0..11 by its two-digit form.
bool InScale(const CounterScaleTable& scale, int pitch_class) {
  return scale.member[pitch_class];
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

  const CounterScaleTable& scale = CounterScale(key);
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
