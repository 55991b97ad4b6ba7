// Where playback goes: the built-in synthesizer through an audio driver, or
// a MIDI port. The player implements it; Options > Output and Options >
// Audio Output choose through it.
#ifndef TESSAVAR_MODEL_PLAYBACK_OUTPUTS_H_
#define TESSAVAR_MODEL_PLAYBACK_OUTPUTS_H_

#include <string>
#include <vector>

namespace tessavar {

class PlaybackOutputs {
 public:
  virtual ~PlaybackOutputs() = default;

  // False when the machine has no MIDI sequencer.
  virtual bool SequencerPresent() = 0;
  // The MIDI ports present now, by name.
  virtual std::vector<std::string> MidiPorts() = 0;
  // The audio drivers that can be opened here, by FluidSynth's names.
  virtual std::vector<std::string> AudioDrivers() = 0;
  // The audio driver playing now; empty when none could be opened (yet).
  virtual std::string AudioDriverInUse() = 0;
  // Plays through the named MIDI port from the next play on (at once while
  // playing); empty = the built-in synthesizer.
  virtual void UseMidiPort(const std::string& port) = 0;
  // The audio driver tried first (empty = the usual order); a running audio
  // output restarts with it.
  virtual void UseAudioDriver(const std::string& driver) = 0;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PLAYBACK_OUTPUTS_H_
