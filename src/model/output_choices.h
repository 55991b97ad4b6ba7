// The items of Options > Output and Options > Audio Output, and what
// choosing one does: the choice is remembered in the options (and so in the
// settings file) and handed to the player.
#ifndef TESSAVAR_MODEL_OUTPUT_CHOICES_H_
#define TESSAVAR_MODEL_OUTPUT_CHOICES_H_

#include <string>
#include <vector>

#include "model/playback_outputs.h"
#include "model/program_state.h"

namespace tessavar {

inline constexpr char kBuiltInSynthesizerText[] = "Built-in Synthesizer";
inline constexpr char kNoMidiPortsText[] = "No MIDI ports";
inline constexpr char kNoAudioOutputText[] = "No audio output";

struct OutputChoice {
  std::string text;
  std::string value;  // what choosing the item remembers
  bool enabled = true;
  bool checked = false;
};

// The built-in synthesizer, then the ports present now, or a disabled item
// when there are none. The remembered port is checked when it is present;
// otherwise the built-in synthesizer plays and is checked.
std::vector<OutputChoice> OutputItems(PlaybackOutputs& outputs,
                                      const Options& options);

// The drivers that work here; the one playing is checked (before any
// plays, the remembered one). A disabled item when none works.
std::vector<OutputChoice> AudioOutputItems(PlaybackOutputs& outputs,
                                           const Options& options);

void ChooseOutput(Options& options, PlaybackOutputs& outputs,
                  const std::string& port);
void ChooseAudioOutput(Options& options, PlaybackOutputs& outputs,
                       const std::string& driver);

// The name shown for a FluidSynth audio driver ("pulseaudio": "PulseAudio").
std::string AudioDriverText(const std::string& driver);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_OUTPUT_CHOICES_H_
