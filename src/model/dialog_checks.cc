#include "model/dialog_checks.h"

#include <cstdint>

#include "engine/text_number.h"

namespace tessavar {

int ChannelFromText(std::string_view text) {
  return ToInt(CInt(NumericValue(text)));
}

ChannelCheck CheckValues(const ChannelBoxTexts& boxes) {
  ChannelCheck check;
  for (int i = 0; i < 16; ++i) {
    const int channel = ChannelFromText(boxes[i]);
    if (channel < 1 || channel > 16) {
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
  for (int i = 0; i < 16; ++i) map[i] = ChannelFromText(boxes[i]);
  return map;
}

std::string RemoveTrailingSpaces(std::string_view text) {
  const size_t end = text.find_last_not_of(' ');
  if (end == std::string_view::npos) return std::string();
  return std::string(text.substr(0, end + 1));
}

InfoCheckResult InfoCheck(std::string_view text) {
  InfoCheckResult result;
  result.text = RemoveTrailingSpaces(text);
  if (result.text.size() > static_cast<size_t>(kMaxCompositionInfoLength)) {
    result.message = kInfoTooLongMessage;
    return result;
  }
  result.accepted = true;
  return result;
}

}  // namespace tessavar
