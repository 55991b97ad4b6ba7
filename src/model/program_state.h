// Everything the program holds between commands, in one place: the panel,
// which commands can be used, the engine's state, the channel map, the
// composition information, the paths of the files in use and the options.
#ifndef TESSAVAR_MODEL_PROGRAM_STATE_H_
#define TESSAVAR_MODEL_PROGRAM_STATE_H_

#include <array>
#include <string>
#include <vector>

#include "model/command_state.h"
#include "model/panel_model.h"
#include "model/program_paths.h"
#include "engine/engine_state.h"

namespace tessavar {

inline constexpr char kProgramCaption[] = "Tessavar Composer";
inline constexpr char kFileFormatVersion[] = "2.0";

// The three Options check marks (stored in the settings file) and the
// SoundFont chosen by the user (empty = the system's default).
struct Options {
  bool autoplay = false;       // "Autoplay after Compose"
  bool autoplay_redo = false;  // "Autoplay after Redo"
  bool lock_mapped = false;    // "Lock Mapped Parameters"
  std::string soundfont;
  // The compositions last loaded or saved, newest first.
  std::vector<std::string> recent_compositions;
  // Why the settings file's list of recent compositions was not used.
  std::string recent_problem;
  // The MIDI port that plays instead of the built-in synthesizer and the
  // audio driver tried first (empty = the built-in synthesizer, and
  // FluidSynth's own choice of driver).
  std::string midi_output;
  std::string audio_driver;
};

using ChannelMap = std::array<int, kTrackCount>;

inline ChannelMap DefaultChannelMap() {
  ChannelMap map{};
  for (int t = 0; t < kTrackCount; ++t) map[t] = t + 1;
  return map;
}

struct ProgramState {
  PanelModel panel;
  CommandState commands;
  EngineState engine;
  ChannelMap channel_map = DefaultChannelMap();
  std::string composition_info;  // at most 127 bytes

  ProgramPaths paths;
  std::string composition_path;  // empty = none
  std::string midi_path;
  std::string orchestration_path;
  std::string scale_path;
  std::string file_format_version = kFileFormatVersion;

  Options options;
  std::string caption = kProgramCaption;
  int play_slider = 0;  // 0..1000
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PROGRAM_STATE_H_
