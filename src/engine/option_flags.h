// The treatments a composition draws at its set-up, each on or off.
#ifndef TESSAVAR_ENGINE_OPTION_FLAGS_H_
#define TESSAVAR_ENGINE_OPTION_FLAGS_H_

namespace tessavar {

struct OptionFlags {
  bool pulse = false;
  bool rhythm = false;
  bool invert = false;
  bool retro = false;
  bool compression = false;
  bool phrase_shape = false;
  bool note_smooth = false;
  bool power_two = false;
  bool repeat = false;
  bool period_shape = false;
  bool smooth_periods = false;
  bool smooth_phrases = false;
  bool pointillism = false;
  bool glissando = false;
  bool mirror = false;
  bool period_cadence = false;
  bool phrase_cadence = false;
  bool dynamics = false;
  bool lone = false;
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_OPTION_FLAGS_H_
