// The two scale texts of a composition: the table that note pitches and
// the transposition are read from, and the list that voices are snapped to.
#ifndef TESSAVAR_ENGINE_SCALE_TABLES_H_
#define TESSAVAR_ENGINE_SCALE_TABLES_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/voice_string.h"

namespace tessavar {

inline constexpr int kUserDefinedTonality = 7;
// The user-defined scale until a scale file is loaded: 2-character
// semitone fields.
inline constexpr char kDefaultUserScale[] = " 0 1 2 3 4 5 6 7 8 9101112";

class ScaleTables {
 public:
  // Tables of a tonality list index (0..7; anything else reads as 0).
  // `user_scale` is the snapping table of the user-defined tonality.
  ScaleTables(int tonality, const std::string& user_scale);

  // The 2-character field `field` (from 0) of the pitch table as a number;
  // 0 when the field lies outside the table.
  int PitchField(int64_t field) const;

  // True when blank, the value's digits, blank occurs in the snapping list.
  bool InScaleList(int value) const;

  // Moves every sounding pitch whose class is not in the snapping list to
  // the nearest class that is, trying one step up before one step down.
  VoiceString Snap(const VoiceString& voice) const;

  const std::string& scale_table() const { return scale_table_; }
  const std::string& scale_list() const { return scale_list_; }

 private:
  // Membership of -11..22, the only values Snap asks about, looked up once.
  static constexpr int kLowest = -11;
  static constexpr int kHighest = 22;
  bool LiteralSearch(int value) const;

  std::string scale_table_;
  // The fields of the pitch table as numbers, read once.
  std::vector<int> pitch_fields_;
  std::string scale_list_;
  std::array<bool, kHighest - kLowest + 1> member_{};
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_SCALE_TABLES_H_
