#include "engine/contour_voices.h"

#include <array>
#include <cstdlib>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/contour_note_choices.h"
#include "engine/text_number.h"

namespace tessavar {
namespace {

// Scales and interval lists as 2-character fields read by position.
constexpr std::string_view kChromaticScale = " 0 1 2 3 4 5 6 7 8 91011";
constexpr std::string_view kMajorScale = " 0 2 4 5 7 911";
constexpr std::string_view kMinorScale = " 0 2 3 5 7 810";
constexpr std::string_view kMelodyConsonances = " 3 4 5 7 8 9";
constexpr std::string_view kHarmonyConsonances = " 0 3 4 5 7 8 9";

// The tables are read in the inner loops of the composer, so their fields
// are turned into integers once, at compile time. A field is a digit or two
// digits, right-aligned.
constexpr bool IsFieldTable(std::string_view table) {
  if (table.size() % 2 != 0) return false;
  for (size_t i = 0; i < table.size(); i += 2) {
    const char tens = table[i];
    const char units = table[i + 1];
    if (tens != ' ' && (tens < '0' || tens > '9')) return false;
    if (units < '0' || units > '9') return false;
  }
  return true;
}

template <size_t kFields>
constexpr std::array<int, kFields> Fields(std::string_view table) {
  std::array<int, kFields> fields{};
  for (size_t f = 0; f < kFields; ++f) {
    const char tens = table[2 * f];
    fields[f] =
        (tens == ' ' ? 0 : 10 * (tens - '0')) + (table[2 * f + 1] - '0');
  }
  return fields;
}

static_assert(IsFieldTable(kChromaticScale) && IsFieldTable(kMajorScale) &&
              IsFieldTable(kMinorScale));

constexpr auto kChromaticFields =
    Fields<kChromaticScale.size() / 2>(kChromaticScale);
constexpr auto kMajorFields = Fields<kMajorScale.size() / 2>(kMajorScale);
constexpr auto kMinorFields = Fields<kMinorScale.size() / 2>(kMinorScale);

// A distance d belongs to a list when the last two characters of a space
// followed by the digits of d (" 3", "10", "17", "03" for 103) occur in
// the list text. The answer depends only on those two characters, so it
// is worked out once for each of them: below 10 the space and the digit,
// from 10 on the last two digits.
struct DistanceList {
  std::array<bool, 10> below_ten{};
  std::array<bool, 100> last_two_digits{};

  bool Contains(int distance) const {
    return distance < 10 ? below_ten[distance]
                         : last_two_digits[distance % 100];
  }
};

constexpr DistanceList MakeDistanceList(std::string_view list) {
  DistanceList result;
  for (int d = 0; d < 10; ++d) {
    const char text[] = {' ', static_cast<char>('0' + d)};
    result.below_ten[d] =
        list.find(std::string_view(text, 2)) != std::string_view::npos;
  }
  for (int d = 0; d < 100; ++d) {
    const char text[] = {static_cast<char>('0' + d / 10),
                         static_cast<char>('0' + d % 10)};
    result.last_two_digits[d] =
        list.find(std::string_view(text, 2)) != std::string_view::npos;
  }
  return result;
}

constexpr DistanceList kMelodyConsonanceList =
    MakeDistanceList(kMelodyConsonances);
constexpr DistanceList kHarmonyConsonanceList =
    MakeDistanceList(kHarmonyConsonances);

bool HarmonyQualifies(int v, int src, int first_harmony, int j) {
  if (!kMelodyConsonanceList.Contains(std::abs(v - src))) return false;
  if (j == 2 && !kHarmonyConsonanceList.Contains(std::abs(v - first_harmony))) {
    return false;
  }
  return true;
}

// Whether some field of the scale could ever be accepted; without this the
// search for a high or rest pitch would never end.
bool AnyHarmonyQualifies(std::span<const int> scale, int src, int first_harmony,
                         int j) {
  for (int v : scale) {
    if (HarmonyQualifies(v, src, first_harmony, j)) return true;
  }
  return false;
}

int DrawHarmonyPitch(RandomStream& random, std::span<const int> scale, int src,
                     int first_harmony, int j) {
  if (!AnyHarmonyQualifies(scale, src, first_harmony, j)) return src;
  const int fields = static_cast<int>(scale.size());
  while (true) {
    const double r = random.NextRandom();
    const int v = scale[ToInt(Int(r * fields))];
    if (HarmonyQualifies(v, src, first_harmony, j)) return v;
  }
}

std::span<const int> HarmonyScale(int key) {
  if (key >= 12) return kMinorFields;
  if (key >= 0) return kMajorFields;
  return kChromaticFields;
}

}  // namespace

int GenerateContourVoices(EngineState& state, int seed,
                          const VoiceString& melody, int key) {
  if (seed == 0 || melody.empty()) return 0;
  const int n = static_cast<int>(melody.size());

  // Integer negation: a multiple of 32767 gives +0, never -0.
  const double x = static_cast<double>(-(std::llabs(seed) % 32767));
  state.random.RestartRandom(x);
  state.random.MixRandom(x);

  // Each note: the melody pitch and two harmony pitches consonant with it.
  const std::span<const int> scale = HarmonyScale(key);
  std::vector<ContourNoteChoices> choices(n);
  for (int i = 0; i < n; ++i) {
    const int src = melody.pitches[i];
    choices[i][0] = src;
    for (int j = 1; j <= 2; ++j) {
      choices[i][j] =
          DrawHarmonyPitch(state.random, scale, src, choices[i][1], j);
    }
  }

  // The contour voices themselves are searched when they are read; the
  // bank keeps the part of the choice table the search reads.
  state.candidate_voices.Fill(melody, std::move(choices),
                              state.voice_choice_table, key);
  return 1;
}

}  // namespace tessavar
