#include "model/settings_file_io.h"

#include <array>
#include <utility>

#include "base/file_system.h"
#include "files/settings_file.h"

namespace tessavar {
namespace {

std::array<bool*, kSettingsCheckMarks> CheckMarks(Options& options) {
  return {&options.autoplay, &options.autoplay_redo, &options.lock_mapped};
}

std::string SettingsBytesOf(const Options& options) {
  Options copy = options;
  SettingsValues values;
  for (bool* mark : CheckMarks(copy)) values.check_marks.push_back(*mark);
  values.soundfont = options.soundfont;
  values.recent = options.recent_compositions;
  values.midi_output = options.midi_output;
  values.audio_driver = options.audio_driver;
  return SettingsBytes(values);
}

Status WriteSettings(const std::string& bytes, const std::string& path) {
  try {
    WriteFileAtomically(LowerCaseFileName(path), bytes);
    return Status();
  } catch (const RunTimeError& error) {
    return error.status();
  }
}

}  // namespace

void LoadSettingsFile(Options& options, const std::string& path) {
  SettingsValues values = ReadSettingsFile(path);
  std::array<bool*, kSettingsCheckMarks> marks = CheckMarks(options);
  for (size_t i = 0; i < values.check_marks.size(); ++i) {
    *marks[i] = values.check_marks[i];
  }
  if (values.check_marks.size() == marks.size()) {
    options.soundfont = values.soundfont;
    options.recent_compositions = values.recent;
    options.recent_problem = values.recent_problem;
    options.midi_output = values.midi_output;
    options.audio_driver = values.audio_driver;
  }
}

Status SaveSettingsFile(const Options& options, const std::string& path) {
  return WriteSettings(SettingsBytesOf(options), path);
}

void SettingsKeeper::Start(const Options& on_disk) {
  on_disk_ = SettingsBytesOf(on_disk);
}

void SettingsKeeper::SaveIfChanged(const Options& options,
                                   const std::string& path) {
  if (!on_disk_) return;
  std::string bytes = SettingsBytesOf(options);
  if (bytes == *on_disk_ || !WriteSettings(bytes, path).ok()) return;
  on_disk_ = std::move(bytes);
}

}  // namespace tessavar
