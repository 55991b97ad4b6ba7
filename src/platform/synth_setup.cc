#include "platform/synth_setup.h"

#include <filesystem>
#include <system_error>

namespace tessavar {

FluidSettingsPtr NewSynthSettings() {
  FluidSettingsPtr settings(new_fluid_settings());
  if (!settings) return settings;
  fluid_settings_setnum(settings.get(), "synth.sample-rate", kSynthSampleRate);
  fluid_settings_setnum(settings.get(), "synth.gain", kSynthGain);
  fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
  return settings;
}

Result<int> LoadSoundFont(fluid_synth_t* synth, const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return Status(kErrFileNotFound, path, 0, "SoundFont not found");
  }
  const int id = fluid_synth_sfload(synth, path.c_str(), 1);
  if (id == FLUID_FAILED) {
    return Status(kErrPathFileAccess, path, 0, "Not a usable SoundFont");
  }
  return id;
}

void RenderFrames(fluid_synth_t* synth, int frames, float* left, float* right) {
  float* out[2] = {left, right};
  // Effects buffers alias the dry ones: reverb and chorus are mixed in.
  float* fx[4] = {left, right, left, right};
  fluid_synth_process(synth, frames, 4, fx, 2, out);
}

}  // namespace tessavar
