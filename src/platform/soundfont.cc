#include "platform/soundfont.h"

#include <filesystem>
#include <system_error>

#include "platform/synth_setup.h"

namespace tessavar {

std::vector<std::string> SoundFontCandidates() {
  std::vector<std::string> candidates;
  FluidSettingsPtr settings(new_fluid_settings());
  char* own = nullptr;
  if (settings &&
      fluid_settings_getstr_default(settings.get(), "synth.default-soundfont",
                                    &own) == FLUID_OK &&
      own != nullptr && *own != '\0') {
    candidates.push_back(own);
  }
  for (std::string& known : KnownSoundFonts()) {
    if (candidates.empty() || known != candidates.front()) {
      candidates.push_back(std::move(known));
    }
  }
  return candidates;
}

std::string SystemDefaultSoundFont() {
  const std::vector<std::string> candidates = SoundFontCandidates();
  for (const std::string& candidate : candidates) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  return candidates.front();
}

std::string ResolveSoundFont(const std::string& chosen) {
  return chosen.empty() ? SystemDefaultSoundFont() : chosen;
}

}  // namespace tessavar
