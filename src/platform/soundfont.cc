#include "platform/soundfont.h"

#include <filesystem>
#include <system_error>

namespace tessavar {

std::vector<std::string> SoundFontCandidates() {
  return {
      DefaultSoundFontPath(),
      SystemSoundFont("FluidR3_GM.sf2"),
      SystemSoundFont("TimGM6mb.sf2"),
      "/usr/share/soundfonts/default.sf2",
      "/usr/share/soundfonts/FluidR3_GM.sf2",
  };
}

std::string ResolveSoundFont(const std::string& chosen) {
  if (!chosen.empty()) return chosen;
  for (const std::string& candidate : SoundFontCandidates()) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  return DefaultSoundFontPath();
}

}  // namespace tessavar
