#include "engine/contour_voices.h"

#include <array>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text_number.h"

namespace tessavar {
namespace {

// Scales and interval lists as 2-character fields read by position.
constexpr std::string_view kChromaticScale = " 0 1 2 3 4 5 6 7 8 91011";
constexpr std::string_view kMajorScale = " 0 2 4 5 7 911";
constexpr std::string_view kMinorScale = " 0 2 3 5 7 810";
constexpr std::string_view kMelodyConsonances = " 3 4 5 7 8 9";
constexpr std::string_view kHarmonyConsonances = " 0 3 4 5 7 8 9";
// Index = pitch class; the field is the scale tone at or below it.
constexpr std::string_view kMajorSnap = " 0 0 2 2 4 5 5 7 7 9 911";
constexpr std::string_view kMinorSnap = " 0 0 2 3 3 5 5 7 8 81010";

// 22 contour patterns of 5 characters; "+" asks for a rising step.
constexpr std::string_view kContourPatterns =
    "+-   -+   ++-  +-+  -++  --+  -+-  +--  ++-- +--+ --++ -++- "
    "+++--++--++--++--+++-+++----++--++--++--++---+---+";
constexpr int kPatternCount = 22;
constexpr int kPatternWidth = 5;
static_assert(kContourPatterns.size() == kPatternCount * kPatternWidth);

constexpr int kTrialsPerPattern = 100;
constexpr int kCursorModulus = 32000;
constexpr int kChoiceColumns = 3;

// The numeric value of 2-character field `index` (from 0) of a table.
int Field2(std::string_view table, int index) {
  return ToInt(CInt(NumericValue(table.substr(2 * index, 2))));
}

// A distance belongs to a list when its last two characters, after a
// leading space, occur in the list text.
bool DistanceInList(int distance, std::string_view list) {
  std::string text = " " + std::to_string(distance);
  return list.find(text.substr(text.size() - 2)) != std::string_view::npos;
}

bool HarmonyQualifies(int v, int src, int first_harmony, int j) {
  if (!DistanceInList(std::abs(v - src), kMelodyConsonances)) return false;
  if (j == 2 &&
      !DistanceInList(std::abs(v - first_harmony), kHarmonyConsonances)) {
    return false;
  }
  return true;
}

// Whether some field of the scale could ever be accepted; without this the
// search for a high or rest pitch would never end.
bool AnyHarmonyQualifies(std::string_view scale, int src, int first_harmony,
                         int j) {
  const int fields = static_cast<int>(scale.size() / 2);
  for (int f = 0; f < fields; ++f) {
    if (HarmonyQualifies(Field2(scale, f), src, first_harmony, j)) return true;
  }
  return false;
}

int DrawHarmonyPitch(RandomStream& random, std::string_view scale, int src,
                     int first_harmony, int j) {
  if (!AnyHarmonyQualifies(scale, src, first_harmony, j)) return src;
  const int fields = static_cast<int>(scale.size() / 2);
  while (true) {
    const double r = random.NextRandom();
    const int v = Field2(scale, ToInt(Int(r * fields)));
    if (HarmonyQualifies(v, src, first_harmony, j)) return v;
  }
}

std::string_view HarmonyScale(int key) {
  if (key >= 12) return kMinorScale;
  if (key >= 0) return kMajorScale;
  return kChromaticScale;
}

// The first `length` characters of the pattern's field, without the
// surrounding spaces.
std::string_view PatternText(int pattern, int length) {
  std::string_view t = kContourPatterns.substr(pattern * kPatternWidth, length);
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  return t;
}

int Sign(int x) { return (x > 0) - (x < 0); }

int FloorMod(int a, int b) {
  const int r = a % b;
  return r < 0 ? r + b : r;
}

// The table entry under the cursor. The composer's themes stay far below
// the length where the cursor could run past the table; should it happen,
// the reading wraps around instead of leaving the table.
int ChoiceAt(const std::vector<int16_t>& table, size_t index) {
  if (table.empty()) return 0;
  return table[index % table.size()];
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

  for (auto& voice : state.candidate_voices) voice.clear();
  state.candidate_voices[0] = melody;

  // Each note: the melody pitch and two harmony pitches consonant with it.
  const std::string_view scale = HarmonyScale(key);
  std::vector<std::array<int, kChoiceColumns>> choices(n);
  for (int i = 0; i < n; ++i) {
    const int src = melody.pitches[i];
    choices[i][0] = src;
    for (int j = 1; j <= 2; ++j) {
      choices[i][j] =
          DrawHarmonyPitch(state.random, scale, src, choices[i][1], j);
    }
  }

  // For each pattern keep the first of 100 combinations that follows it
  // best; the combinations come from the precomputed choice table.
  const int pattern_length = n < kPatternWidth ? n : kPatternWidth;
  std::vector<std::array<int, kPatternCount>> best_choice(n);
  std::vector<int> direction(n);
  std::vector<int> trial(n);
  int cursor = 0;
  for (int p = 0; p < kPatternCount; ++p) {
    const std::string_view t = PatternText(p, pattern_length);
    for (int k = 0; k < n; ++k) {
      direction[k] = t[k % t.size()] == '+' ? 1 : -1;
    }
    int best = -1;
    for (int attempt = 0; attempt < kTrialsPerPattern; ++attempt) {
      for (int k = 0; k < n; ++k) {
        // The index is almost always inside the table; avoid the division.
        const size_t index = static_cast<size_t>(cursor) + k;
        const int column = index < state.voice_choice_table.size()
                               ? state.voice_choice_table[index]
                               : ChoiceAt(state.voice_choice_table, index);
        if (column < 0 || column >= kChoiceColumns) {
          throw std::out_of_range("voice choice table entry out of range");
        }
        trial[k] = choices[k][column];
      }
      cursor = FloorMod(cursor + n, kCursorModulus);
      int score = 0;
      for (int q = 0; q + 1 < n; ++q) {
        score += Sign(trial[q + 1] - trial[q]) * direction[q];
      }
      if (score > best) {
        for (int k = 0; k < n; ++k) best_choice[k][p] = trial[k];
        best = score;
      }
    }
  }

  for (int p = 0; p < kPatternCount; ++p) {
    VoiceString voice;
    voice.durations = melody.durations;
    voice.pitches.resize(n);
    for (int k = 0; k < n; ++k) voice.pitches[k] = best_choice[k][p];
    state.candidate_voices[p + 1] = SnapVoiceToKey(voice, key);
  }
  return 1;
}

VoiceString SnapVoiceToKey(const VoiceString& voice, int key) {
  if (voice.empty()) return {};
  VoiceString snapped = voice;
  if (key < 0) return snapped;
  const std::string_view table =
      FloorMod(key, 24) >= 12 ? kMinorSnap : kMajorSnap;
  for (int& c : snapped.pitches) {
    if (c == kRestCode) continue;
    const int pc = FloorMod(c, 12);
    c = (c - pc) + Field2(table, pc);
  }
  return snapped;
}

}  // namespace tessavar
