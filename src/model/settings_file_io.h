// Loading and saving the Options through the settings file.
#ifndef TESSAVAR_MODEL_SETTINGS_FILE_IO_H_
#define TESSAVAR_MODEL_SETTINGS_FILE_IO_H_

#include <optional>
#include <string>

#include "base/status.h"
#include "model/program_state.h"

namespace tessavar {

// Reads the settings silently. Each check mark is set in line order; on a
// missing file, a missing line or a line that is not a number, reading
// stops and that option and the later ones keep their state. The SoundFont
// is that of the fourth line, empty when there is none, and the recent
// compositions follow it (see recent_problem when they were left out), then
// the playback output.
void LoadSettingsFile(Options& options, const std::string& path);

// Writes the settings (file name in lower case); the SoundFont line only
// when one is chosen. The status says why the file could not be written.
Status SaveSettingsFile(const Options& options, const std::string& path);

// Keeps the settings file in step with the options while the program runs,
// so that a crash does not lose a changed option or recent composition: it
// writes the file whenever the options differ from what the file holds.
class SettingsKeeper {
 public:
  // The options the settings file holds now (as read at start-up); nothing
  // is written before this is known.
  void Start(const Options& on_disk);
  // Writes the settings when they differ from what the file holds; a file
  // that cannot be written is tried again at the next change.
  void SaveIfChanged(const Options& options, const std::string& path);

 private:
  std::optional<std::string> on_disk_;  // the file's bytes
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_SETTINGS_FILE_IO_H_
