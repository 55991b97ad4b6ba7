// The settings file "tvx.ini": the three Options check marks, one line each
// (" 1 " or " 0 "), and optionally a fourth line with the chosen SoundFont.
// Files without the fourth line stay valid, and readers that know only the
// three check marks ignore it. The list of recent compositions follows on
// a line naming it and its version, one path a line (the fourth line is
// then written even without a SoundFont).
#ifndef TESSAVAR_FILES_SETTINGS_FILE_H_
#define TESSAVAR_FILES_SETTINGS_FILE_H_

#include <string>

#include "model/program_state.h"

namespace tessavar {

// Reads the settings silently. Each check mark is set in line order; on a
// missing file, a missing line or a line that is not a number, reading
// stops and that option and the later ones keep their state. The SoundFont
// is that of the fourth line, empty when there is none. A recent list that
// is damaged or from a newer version is left out and recent_problem says
// why.
void LoadIniFile(Options& options, const std::string& path);

// Writes the settings (file name in lower case); the SoundFont line only
// when one is chosen. False when the file could not be written.
bool SaveIniFile(const Options& options, const std::string& path);

}  // namespace tessavar

#endif  // TESSAVAR_FILES_SETTINGS_FILE_H_
