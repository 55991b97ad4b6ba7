#include "engine/scale_tables.h"

#include <string_view>

#include "engine/text_number.h"

namespace tessavar {
namespace {

constexpr std::string_view kChromatic = " 0 1 2 3 4 5 6 7 8 91011";
constexpr std::string_view kMajor = " 0 2 4 5 7 9111214161719";
constexpr std::string_view kMinor = " 0 2 3 5 7 8101214151719";
constexpr std::string_view kPentatonic1 = " 0 2 4 7 912141619212426";
constexpr std::string_view kPentatonic2 = " 0 3 5 71012151719222427";
constexpr std::string_view kPentatonic3 = " 0 4 5 71112161719232428";
constexpr std::string_view kWholeTone = " 0 2 4 6 810121416182022";

std::string_view PitchTable(int tonality) {
  if (tonality == 1) return kMajor;
  if (tonality == 2) return kMinor;
  return kChromatic;
}

std::string SnappingTable(int tonality, const std::string& user_scale) {
  switch (tonality) {
    case 1:
      return std::string(kMajor);
    case 2:
      return std::string(kMinor);
    case 3:
      return std::string(kPentatonic1);
    case 4:
      return std::string(kPentatonic2);
    case 5:
      return std::string(kPentatonic3);
    case 6:
      return std::string(kWholeTone);
    case kUserDefinedTonality:
      return user_scale;
    default:
      return std::string(kChromatic);
  }
}

}  // namespace

ScaleTables::ScaleTables(int tonality, const std::string& user_scale)
    : scale_table_(PitchTable(tonality)) {
  // Each 2-character field followed by one blank, so that a value is a
  // member exactly when blank, value, blank occurs in the list.
  std::string snapping = SnappingTable(tonality, user_scale);
  for (size_t i = 0; i + 1 < snapping.size(); i += 2) {
    scale_list_.append(snapping, i, 2);
    scale_list_.push_back(' ');
  }
  for (int value = kLowest; value <= kHighest; ++value) {
    member_[value - kLowest] = LiteralSearch(value);
  }
  const std::string_view table = scale_table_;
  for (size_t field = 0; 2 * field + 2 <= table.size(); ++field) {
    pitch_fields_.push_back(
        ToInt(CInt(NumericValue(table.substr(2 * field, 2)))));
  }
}

int ScaleTables::PitchField(int64_t field) const {
  if (field < 0 || field >= static_cast<int64_t>(pitch_fields_.size())) {
    return 0;
  }
  return pitch_fields_[field];
}

bool ScaleTables::LiteralSearch(int value) const {
  return scale_list_.find(" " + std::to_string(value) + " ") !=
         std::string::npos;
}

bool ScaleTables::InScaleList(int value) const {
  if (value >= kLowest && value <= kHighest) return member_[value - kLowest];
  return LiteralSearch(value);
}

VoiceString ScaleTables::Snap(const VoiceString& voice) const {
  VoiceString snapped = voice;
  for (int& code : snapped.pitches) {
    if (code >= kRestCode) continue;
    int pc = code % 12;
    if (InScaleList(pc)) continue;
    for (int k = 1; k <= 11; ++k) {
      if (InScaleList(pc + k)) {
        code += k;
        break;
      }
      if (InScaleList(pc - k)) {
        code -= k;
        break;
      }
    }
  }
  return snapped;
}

}  // namespace tessavar
