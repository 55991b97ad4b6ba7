// The settings file "tvx.ini": the three Options check marks, one line each
// (" 1 " or " 0 "), and optionally a fourth line with the chosen SoundFont.
// Files without the fourth line stay valid, and readers that know only the
// three check marks ignore it. The list of recent compositions follows on
// a line naming it and its version, one path a line (the fourth line is
// then written even without a SoundFont). The playback output comes last,
// under a heading of its own: the MIDI port and the audio driver, one line
// each, written only when one of them is chosen (the recent list's heading
// is then written even without recent compositions).
#ifndef TESSAVAR_FILES_SETTINGS_FILE_H_
#define TESSAVAR_FILES_SETTINGS_FILE_H_

#include <cstddef>
#include <string>
#include <vector>

namespace tessavar {

inline constexpr size_t kSettingsCheckMarks = 3;

struct SettingsValues {
  // The check marks in file order. Reading stops at a missing line or one
  // that is not a number, so fewer than three may have been read.
  std::vector<bool> check_marks;
  // The SoundFont of the fourth line (empty when there is none); read only
  // when all three check marks were.
  std::string soundfont;
  // The recent compositions after the SoundFont line, newest first.
  std::vector<std::string> recent;
  // Why a recent list was left out: damaged, or from a newer version.
  std::string recent_problem;
  // The MIDI port that plays instead of the built-in synthesizer, and the
  // audio driver tried first; empty = none chosen.
  std::string midi_output;
  std::string audio_driver;
};

// The settings in a file's bytes, and in a file (nothing read when it is
// missing or unreadable).
SettingsValues ParseSettings(const std::string& bytes);
SettingsValues ReadSettingsFile(const std::string& path);

// The file's bytes for three check marks; the SoundFont line only when one
// is chosen and it fits on one line, or (empty) before a recent list; the
// playback output only when one is chosen.
std::string SettingsBytes(const SettingsValues& values);

}  // namespace tessavar

#endif  // TESSAVAR_FILES_SETTINGS_FILE_H_
