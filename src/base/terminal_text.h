// Text from files and command lines shown on a terminal: a name or value
// holding ESC sequences must not recolour, move or retitle the terminal.
#ifndef TESSAVAR_BASE_TERMINAL_TEXT_H_
#define TESSAVAR_BASE_TERMINAL_TEXT_H_

#include <string>
#include <string_view>

namespace tessavar {

// The text safe for a terminal: control characters (C1 included) and bytes
// that are not UTF-8 as \xNN, a backslash doubled; printable UTF-8 as is.
std::string TerminalText(std::string_view text);

// The same for a text of several lines, whose line feeds are kept.
std::string TerminalLines(std::string_view text);

}  // namespace tessavar

#endif  // TESSAVAR_BASE_TERMINAL_TEXT_H_
