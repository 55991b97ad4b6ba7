#include "engine/text_characters.h"

namespace tessavar {
namespace {

size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead >> 5) == 0x6) return 2;
  if ((lead >> 4) == 0xE) return 3;
  if ((lead >> 3) == 0x1E) return 4;
  return 1;
}

bool IsContinuation(char byte) {
  return (static_cast<unsigned char>(byte) >> 6) == 0x2;
}

}  // namespace

std::vector<std::string_view> SplitCharacters(std::string_view text) {
  std::vector<std::string_view> characters;
  size_t i = 0;
  while (i < text.size()) {
    size_t length = SequenceLength(static_cast<unsigned char>(text[i]));
    if (i + length > text.size()) length = 1;
    for (size_t j = 1; j < length; ++j) {
      if (!IsContinuation(text[i + j])) {
        length = 1;
        break;
      }
    }
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

uint32_t CharacterCode(std::string_view character) {
  if (character.empty()) return 0;
  unsigned char lead = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return lead;
  uint32_t code = lead & (0xFF >> (character.size() + 1));
  for (size_t i = 1; i < character.size(); ++i) {
    code = (code << 6) | (static_cast<unsigned char>(character[i]) & 0x3F);
  }
  return code;
}

}  // namespace tessavar
