// Small text rules shared by every layer: trimming the spaces around a box
// or file name, finding where the file name starts in a path, and the case
// of ASCII letters.
#ifndef TESSAVAR_BASE_TEXT_H_
#define TESSAVAR_BASE_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace tessavar {

// The text without leading and trailing spaces (only ' ', as the panel
// trims); empty when it holds nothing else.
std::string_view TrimSpaces(std::string_view text);

// Where the last path component begins: after the last '/', or 0.
size_t FileNameStart(std::string_view path);

// The text with its ASCII letters in lower (upper) case and every other byte
// as it is. Unlike std::tolower these do not follow the locale, in which an
// "I" need not become an "i" (Turkish).
std::string AsciiLower(std::string_view text);
std::string AsciiUpper(std::string_view text);

}  // namespace tessavar

#endif  // TESSAVAR_BASE_TEXT_H_
