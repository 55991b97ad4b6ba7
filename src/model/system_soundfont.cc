#include "model/system_soundfont.h"

namespace tessavar {
namespace {

constexpr char kDefaultSoundFontName[] = "default-GM.sf2";

}  // namespace

std::string SystemSoundFont(std::string_view name) {
  return std::string(kSystemSoundFontDirectory) + "/" + std::string(name);
}

std::string DefaultSoundFontPath() {
  return SystemSoundFont(kDefaultSoundFontName);
}

}  // namespace tessavar
