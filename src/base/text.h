// Small text rules shared by every layer: trimming the spaces around a box
// or file name, finding where the file name starts in a path, the case of
// ASCII letters, and UTF-8.
#ifndef TESSAVAR_BASE_TEXT_H_
#define TESSAVAR_BASE_TEXT_H_

#include <cstddef>
#include <cstdint>
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

// A count of at least two digits, as clocks and track numbers show it: 7
// gives "07", 123 gives "123".
std::string TwoDigits(int64_t value);

// The length (1 to 4) of the UTF-8 sequence that starts the text; 0 when
// it does not start one: a continuation byte, a sequence cut short, an
// overlong form, an encoded surrogate or a code beyond U+10FFFF.
size_t Utf8SequenceLength(std::string_view text);

// The longest start of the text of at most `limit` bytes that does not end
// inside a character: it never ends before a continuation byte.
size_t Utf8CutBefore(std::string_view text, size_t limit);

// Appends the UTF-8 bytes of a code point; a surrogate or a code beyond
// U+10FFFF becomes U+FFFD.
void AppendUtf8(char32_t code, std::string& out);

}  // namespace tessavar

#endif  // TESSAVAR_BASE_TEXT_H_
