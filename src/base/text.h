// Small text rules shared by every layer: trimming the spaces around a box
// or file name, and finding where the file name starts in a path.
#ifndef TESSAVAR_BASE_TEXT_H_
#define TESSAVAR_BASE_TEXT_H_

#include <cstddef>
#include <string_view>

namespace tessavar {

// The text without leading and trailing spaces (only ' ', as the panel
// trims); empty when it holds nothing else.
std::string_view TrimSpaces(std::string_view text);

// Where the last path component begins: after the last '/', or 0.
size_t FileNameStart(std::string_view path);

}  // namespace tessavar

#endif  // TESSAVAR_BASE_TEXT_H_
