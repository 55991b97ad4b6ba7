#include "model/dialog_checks.h"

#include <cstdint>

#include "engine/text_number.h"
#include "midi/composition_info.h"
#include "midi/midi_bytes.h"

namespace tessavar {

int ChannelFromText(std::string_view text) {
  return ToInt(CInt(NumericValue(text)));
}

ChannelCheck CheckChannelBoxes(const ChannelBoxTexts& boxes) {
  ChannelCheck check;
  for (int i = 0; i < kTrackCount; ++i) {
    const int channel = ChannelFromText(boxes[i]);
    if (channel < 1 || channel > midi::kChannelCount) {
      check.accepted = false;
      check.bad_box = i;
      check.message = kChannelRangeMessage;
      check.title = kChannelRangeTitle;
      break;
    }
  }
  return check;
}

ChannelMap ChannelMapFromTexts(const ChannelBoxTexts& boxes) {
  ChannelMap map{};
  for (int i = 0; i < kTrackCount; ++i) map[i] = ChannelFromText(boxes[i]);
  return map;
}

CompositionInfoCheck CheckCompositionInfo(std::string_view text) {
  CompositionInfoCheck result;
  result.text = TrimCompInfo(text);
  if (result.text.size() > kMaxCompInfoLength) {
    result.message = kInfoTooLongMessage;
    return result;
  }
  result.accepted = true;
  return result;
}

std::string CompInfoBytesLeftText(std::string_view text) {
  const size_t stored = TrimCompInfo(text).size();
  const auto count = [](size_t bytes) {
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  };
  if (stored > kMaxCompInfoLength) {
    return count(stored - kMaxCompInfoLength) + " too many";
  }
  return count(kMaxCompInfoLength - stored) + " left";
}

}  // namespace tessavar
