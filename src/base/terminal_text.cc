#include "base/terminal_text.h"

#include <cstdio>

namespace tessavar {
namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

// The length of the UTF-8 sequence that starts text, 0 when it is not a
// valid one or encodes a control character (C1 controls included).
size_t PrintableSequenceLength(std::string_view text) {
  const auto byte = [&](size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  const unsigned char lead = byte(0);
  if (lead >= kFirstPrintable && lead < kDelete) return 1;
  size_t length = lead >= 0xF0 && lead < 0xF5   ? 4
                  : lead >= 0xE0 && lead < 0xF0 ? 3
                  : lead >= 0xC2 && lead < 0xE0 ? 2
                                                : 0;
  if (length == 0 || text.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  const bool c1_control = lead == 0xC2 && byte(1) < 0xA0;
  const bool overlong =
      (lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xF0 && byte(1) < 0x90);
  const bool surrogate = lead == 0xED && byte(1) >= 0xA0;
  const bool beyond_unicode = lead == 0xF4 && byte(1) >= 0x90;
  return c1_control || overlong || surrogate || beyond_unicode ? 0 : length;
}

}  // namespace

std::string TerminalText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  while (!text.empty()) {
    size_t length = PrintableSequenceLength(text);
    if (text[0] == '\\') {
      shown += "\\\\";
      length = 1;
    } else if (length == 0) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x",
                    static_cast<unsigned char>(text[0]));
      shown += escape;
      length = 1;
    } else {
      shown += text.substr(0, length);
    }
    text.remove_prefix(length);
  }
  return shown;
}

std::string TerminalLines(std::string_view text) {
  std::string shown;
  for (size_t end; (end = text.find('\n')) != std::string_view::npos;) {
    shown += TerminalText(text.substr(0, end)) + '\n';
    text.remove_prefix(end + 1);
  }
  return shown + TerminalText(text);
}

}  // namespace tessavar
