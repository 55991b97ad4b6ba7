#include "model/system_soundfont.h"

#include <filesystem>
#include <system_error>

namespace tessavar {
namespace {

constexpr char kSf3Directory[] = "/usr/share/sounds/sf3";

std::string Sf3SoundFont(std::string_view name) {
  return std::string(kSf3Directory) + "/" + std::string(name);
}

}  // namespace

std::string SystemSoundFont(std::string_view name) {
  return std::string(kSystemSoundFontDirectory) + "/" + std::string(name);
}

std::vector<std::string> KnownSoundFonts() {
  return {
      Sf3SoundFont("default-GM.sf3"),
      SystemSoundFont("default-GM.sf2"),
      Sf3SoundFont("FluidR3_GM.sf3"),
      SystemSoundFont("FluidR3_GM.sf2"),
      Sf3SoundFont("TimGM6mb.sf3"),
      SystemSoundFont("TimGM6mb.sf2"),
      "/usr/share/soundfonts/default.sf2",
      "/usr/share/soundfonts/FluidR3_GM.sf2",
  };
}

std::string DefaultSoundFontPath() {
  const std::vector<std::string> known = KnownSoundFonts();
  for (const std::string& path : known) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return path;
  }
  return known.front();
}

}  // namespace tessavar
