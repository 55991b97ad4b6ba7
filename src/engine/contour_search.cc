#include "engine/contour_search.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace tessavar {
namespace {

// Index = pitch class; the entry is the scale tone at or below it.
constexpr std::array<int, 12> kMajorSnap = {0, 0, 2, 2, 4, 5,
                                            5, 7, 7, 9, 9, 11};
constexpr std::array<int, 12> kMinorSnap = {0, 0, 2, 3, 3,  5,
                                            5, 7, 8, 8, 10, 10};

int FloorMod(int a, int b) {
  const int r = a % b;
  return r < 0 ? r + b : r;
}

// 22 contour patterns of 5 characters; "+" asks for a rising step.
constexpr std::string_view kContourPatterns =
    "+-   -+   ++-  +-+  -++  --+  -+-  +--  ++-- +--+ --++ -++- "
    "+++--++--++--++--+++-+++----++--++--++--++---+---+";
constexpr int kPatternWidth = 5;
static_assert(kContourPatterns.size() ==
              ContourSearch::kPatternCount * kPatternWidth);

constexpr int kTrialsPerPattern = 100;
constexpr int64_t kCursorModulus = 32000;

// The first `length` characters of the pattern's field, without the
// surrounding spaces.
std::string_view PatternText(int pattern, int length) {
  std::string_view t = kContourPatterns.substr(pattern * kPatternWidth, length);
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  return t;
}

int Sign(int x) { return (x > 0) - (x < 0); }

// The cursor position of trial `trial` (counted over all patterns): the
// cursor starts at 0 and moves on by n, modulo 32000, after every trial.
int64_t TrialCursor(int64_t trial, int64_t n) {
  return trial * n % kCursorModulus;
}

// One past the last cursor position any trial of any pattern reads. The
// trials of the first round tile the table from 0, so every position below
// it is read by some trial. Each round is an arithmetic run of cursors
// below the modulus.
int64_t ReadWindowLength(int64_t n) {
  const int64_t step = n % kCursorModulus;
  if (step == 0) return n;
  int64_t trials_left =
      static_cast<int64_t>(ContourSearch::kPatternCount) * kTrialsPerPattern;
  int64_t start = 0;
  int64_t highest = 0;
  while (trials_left > 0) {
    const int64_t in_round = (kCursorModulus - 1 - start) / step + 1;
    const int64_t taken = std::min(in_round, trials_left);
    highest = std::max(highest, start + (taken - 1) * step);
    trials_left -= taken;
    start += taken * step - kCursorModulus;
  }
  return highest + n;
}

// The choice table under cursor positions 0 .. length - 1. The composer's
// themes stay far below the length where the cursor could run past the
// table; should it happen, the reading wraps around instead of leaving the
// table.
std::shared_ptr<const std::vector<int16_t>> ReadColumns(
    const std::vector<int16_t>& table, int64_t length) {
  auto columns =
      std::make_shared<std::vector<int16_t>>(static_cast<size_t>(length), 0);
  if (table.empty()) return columns;
  // Whole passes over the table, then the rest of it.
  bool valid = true;
  for (size_t at = 0; at < columns->size(); at += table.size()) {
    const size_t count = std::min(table.size(), columns->size() - at);
    for (size_t i = 0; i < count; ++i) {
      const int16_t entry = table[i];
      valid &= entry >= 0 && entry < ContourSearch::kChoiceColumns;
      (*columns)[at + i] = entry;
    }
  }
  if (!valid) {
    throw std::out_of_range("voice choice table entry out of range");
  }
  return columns;
}

// Whether `columns` begins with the first `length` entries of the table.
bool HoldsPrefix(const std::vector<int16_t>& columns,
                 const std::vector<int16_t>& table, int64_t length) {
  const size_t count = static_cast<size_t>(length);
  return count <= columns.size() && count <= table.size() &&
         std::memcmp(columns.data(), table.data(), count * sizeof(int16_t)) ==
             0;
}

}  // namespace

ContourSearch::ContourSearch(std::vector<NoteChoices> choices,
                             std::vector<int> durations,
                             const std::vector<int16_t>& choice_table, int key,
                             const ContourSearch* previous)
    : choices_(std::move(choices)),
      durations_(std::move(durations)),
      key_(key) {
  const int n = NoteCount();
  const int64_t window = ReadWindowLength(n);
  if (previous != nullptr &&
      HoldsPrefix(*previous->columns_, choice_table, window)) {
    columns_ = previous->columns_;
  } else {
    columns_ = ReadColumns(choice_table, window);
  }
  steps_.resize(n > 1 ? n - 1 : 0);
  for (int q = 0; q + 1 < n; ++q) {
    for (int a = 0; a < kChoiceColumns; ++a) {
      for (int b = 0; b < kChoiceColumns; ++b) {
        steps_[q][kChoiceColumns * a + b] =
            static_cast<int8_t>(Sign(choices_[q + 1][b] - choices_[q][a]));
      }
    }
  }
}

VoiceString ContourSearch::Voice(int pattern) const {
  const int n = NoteCount();
  const std::string_view t = PatternText(pattern, std::min(n, kPatternWidth));

  // The step table weighted by the pattern's direction at each step.
  std::vector<std::array<int8_t, kChoiceColumns * kChoiceColumns>> weighted(
      steps_.size());
  for (size_t q = 0; q < steps_.size(); ++q) {
    const int direction = t[q % t.size()] == '+' ? 1 : -1;
    for (size_t i = 0; i < weighted[q].size(); ++i) {
      weighted[q][i] = static_cast<int8_t>(direction * steps_[q][i]);
    }
  }

  // The first trial with the highest score wins; none that scores 0 or more
  // leaves every pitch at 0.
  int best = -1;
  int64_t best_cursor = -1;
  const int64_t first_trial = static_cast<int64_t>(pattern) * kTrialsPerPattern;
  for (int64_t trial = first_trial; trial < first_trial + kTrialsPerPattern;
       ++trial) {
    const int64_t cursor = TrialCursor(trial, n);
    const int16_t* column = columns_->data() + cursor;
    int score = 0;
    for (size_t q = 0; q < weighted.size(); ++q) {
      score += weighted[q][kChoiceColumns * column[q] + column[q + 1]];
    }
    if (score > best) {
      best = score;
      best_cursor = cursor;
    }
  }

  VoiceString voice;
  voice.durations = durations_;
  voice.pitches.assign(n, 0);
  if (best_cursor >= 0) {
    for (int k = 0; k < n; ++k) {
      voice.pitches[k] = choices_[k][(*columns_)[best_cursor + k]];
    }
  }
  return SnapVoiceToKey(voice, key_);
}

VoiceString SnapVoiceToKey(const VoiceString& voice, int key) {
  if (voice.empty()) return {};
  VoiceString snapped = voice;
  if (key < 0) return snapped;
  const std::array<int, 12>& table =
      FloorMod(key, 24) >= 12 ? kMinorSnap : kMajorSnap;
  for (int& c : snapped.pitches) {
    if (c == kRestCode) continue;
    const int pc = FloorMod(c, 12);
    c = (c - pc) + table[pc];
  }
  return snapped;
}

}  // namespace tessavar
