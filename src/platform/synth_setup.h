// The synthesizer settings shared by live playback and offline rendering,
// so that an exported file sounds like the music heard in the program.
#ifndef TESSAVAR_PLATFORM_SYNTH_SETUP_H_
#define TESSAVAR_PLATFORM_SYNTH_SETUP_H_

#include <fluidsynth.h>

#include <memory>
#include <string>

#include "base/status.h"

namespace tessavar {

inline constexpr int kSynthSampleRate = 44100;
// FluidSynth's default gain (0.2) is too quiet for General MIDI files.
inline constexpr double kSynthGain = 0.5;

struct FluidSettingsDeleter {
  void operator()(fluid_settings_t* settings) const {
    delete_fluid_settings(settings);
  }
};
struct FluidSynthDeleter {
  void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
struct FluidPlayerDeleter {
  void operator()(fluid_player_t* player) const { delete_fluid_player(player); }
};
using FluidSettingsPtr =
    std::unique_ptr<fluid_settings_t, FluidSettingsDeleter>;
using FluidSynthPtr = std::unique_ptr<fluid_synth_t, FluidSynthDeleter>;
using FluidMidiPlayerPtr = std::unique_ptr<fluid_player_t, FluidPlayerDeleter>;

// Settings with the program's sample rate, gain and sample-driven player
// timing; null when FluidSynth cannot allocate them.
FluidSettingsPtr NewSynthSettings();

// Loads a SoundFont into the synthesizer; returns its id, or error 53
// ("SoundFont not found") for a path that is no regular file, or error 75
// ("Not a usable SoundFont") for a file FluidSynth cannot load.
Result<int> LoadSoundFont(fluid_synth_t* synth, const std::string& path);

// Renders frames into two zeroed channel buffers, with reverb and chorus
// mixed into them.
void RenderFrames(fluid_synth_t* synth, int frames, float* left, float* right);

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_SYNTH_SETUP_H_
