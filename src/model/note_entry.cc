#include "model/note_entry.h"

#include <algorithm>
#include <array>

#include "base/text.h"
#include "engine/text_number.h"

namespace tessavar {
namespace {

// Semitone of each letter of "ABCDEFG".
constexpr std::array<int, 7> kLetterValues = {9, 11, 0, 2, 4, 5, 7};
constexpr std::array<const char*, 12> kNoteNames = {
    "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

// A semitone number right-aligned in two characters (" 7", "14").
std::string ScaleField(int value) {
  std::string text = " " + std::to_string(value);
  return text.substr(text.size() - 2);
}

int FieldValue(std::string_view scale, size_t field) {
  return static_cast<int>(CInt(NumericValue(scale.substr(2 * field, 2))));
}

}  // namespace

std::vector<int> ReadNotes(std::string_view typed) {
  const std::string text = AsciiUpper(TrimSpaces(typed));
  std::vector<int> notes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] < 'A' || text[i] > 'G') continue;
    int value = kLetterValues[text[i] - 'A'];
    if (i + 1 < text.size() && text[i + 1] == '#') {
      ++value;
      ++i;
    }
    notes.push_back(value);
  }
  return notes;
}

std::optional<std::string> MelodyToStructure(std::string_view typed) {
  std::vector<int> taken;
  int lowest = 0;
  int highest = 0;
  for (int note : ReadNotes(typed)) {
    int low = taken.empty() ? note : std::min(lowest, note);
    int high = taken.empty() ? note : std::max(highest, note);
    if (high - low > kMaxMelodyRange) break;
    lowest = low;
    highest = high;
    taken.push_back(note);
  }
  if (taken.size() > kMaxMelodyNotes) taken.resize(kMaxMelodyNotes);
  if (taken.size() < 3) return std::nullopt;
  std::string digits;
  for (int note : taken) digits += static_cast<char>('0' + note - lowest);
  return digits;
}

std::optional<std::string> UserScaleFromNotes(std::string_view typed) {
  std::string scale;
  for (int note : ReadNotes(typed)) scale += ScaleField(note);
  if (scale.empty()) return std::nullopt;
  // Each appended field is read again later, so the notes repeat an octave
  // higher every round.
  for (size_t k = 0; scale.size() < kUserScaleLength; ++k) {
    scale += ScaleField(FieldValue(scale, k) + 12);
  }
  return scale;
}

std::string UserScaleDefaultText(std::string_view user_scale) {
  std::string text;
  for (size_t k = 0; 2 * k < user_scale.size(); ++k) {
    int value = FieldValue(user_scale, k);
    if (value < 0 || value >= 12) break;
    if (!text.empty()) text += ' ';
    text += kNoteNames[value];
  }
  return text;
}

}  // namespace tessavar
