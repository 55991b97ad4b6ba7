#include "base/terminal_text.h"

#include <cstdio>

#include "base/text.h"

namespace tessavar {
namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

// The length of the UTF-8 sequence that starts text, 0 when it is not a
// valid one or encodes a control character (C1 controls included).
size_t PrintableSequenceLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return lead >= kFirstPrintable && lead < kDelete ? 1 : 0;
  const bool c1_control = lead == 0xC2 && text.size() > 1 &&
                          static_cast<unsigned char>(text[1]) < 0xA0;
  return c1_control ? 0 : Utf8SequenceLength(text);
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
