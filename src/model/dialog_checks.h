// The checks behind the MIDI channel map and composition info dialogs,
// without any window: each returns whether the input is acceptable and the
// message box to show when it is not.
#ifndef TESSAVAR_MODEL_DIALOG_CHECKS_H_
#define TESSAVAR_MODEL_DIALOG_CHECKS_H_

#include <array>
#include <string>
#include <string_view>

#include "model/program_state.h"

namespace tessavar {

inline constexpr char kChannelRangeMessage[] =
    "MIDI channel number must be 1 to 16.";
inline constexpr char kChannelRangeTitle[] = "MIDI Map Error";
inline constexpr char kInfoTooLongMessage[] =
    "Composition info cannot exceed 127 bytes.";

using ChannelBoxTexts = std::array<std::string, kTrackCount>;

// Both checks say whether the input is accepted the same way: `accepted`.
struct ChannelCheck {
  bool accepted = true;  // false when a box is outside 1..16
  int bad_box = -1;      // index of the first bad box, -1 when none
  std::string message;   // empty when accepted
  std::string title;
};

// The channel a box text stands for: its leading number rounded to the
// nearest integer (halves to even); 0 for an empty or non-numeric text.
int ChannelFromText(std::string_view text);

// Checks the 16 boxes in order and stops at the first one outside 1..16.
ChannelCheck CheckChannelBoxes(const ChannelBoxTexts& boxes);

// The map the boxes stand for (meaningful once CheckChannelBoxes passed).
ChannelMap ChannelMapFromTexts(const ChannelBoxTexts& boxes);

struct CompositionInfoCheck {
  bool accepted = false;  // false when the text is too long
  std::string text;       // the text without trailing spaces
  std::string message;    // empty when accepted
};

// Removes trailing spaces and refuses a text longer than 127 bytes.
// The length is counted in bytes of the stored text, which is what the MIDI
// file's one-byte length field can hold.
CompositionInfoCheck CheckCompositionInfo(std::string_view text);

// The counter beside the box, in bytes of the text as it would be stored:
// "120 bytes left", or "3 bytes too many".
std::string CompInfoBytesLeftText(std::string_view text);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_DIALOG_CHECKS_H_
