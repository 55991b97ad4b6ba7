// Characters of a UTF-8 text as the panel shows them: a structure typed with
// an accented letter counts that letter once, and its character code is its
// code point.
#ifndef TESSAVAR_ENGINE_TEXT_CHARACTERS_H_
#define TESSAVAR_ENGINE_TEXT_CHARACTERS_H_

#include <cstdint>
#include <string_view>
#include <vector>

namespace tessavar {

// The characters of a text; a byte that does not start a valid UTF-8
// sequence is a character of its own.
std::vector<std::string_view> SplitCharacters(std::string_view text);

// The code of one character from SplitCharacters (its code point, or the
// byte value of a lone byte).
uint32_t CharacterCode(std::string_view character);

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_TEXT_CHARACTERS_H_
