#include "model/program_paths.h"

namespace tessavar {

ProgramPaths ProgramPaths::FromDirectory(const std::string& directory) {
  ProgramPaths paths;
  paths.program_directory = directory;
  if (!directory.empty() && directory.back() != '/') {
    paths.program_directory += '/';
  }
  const std::string& dir = paths.program_directory;
  paths.default_composition = dir + "DEFAULT.TVX";
  paths.default_midi = dir + "DEFAULT.MID";
  paths.working_midi = dir + "TVX.MID";
  paths.help_file = dir + "THELP20.RTF";
  // The help file path with its last 11 characters replaced.
  paths.settings_file =
      paths.help_file.substr(0, paths.help_file.size() - 11) + "tvx.ini";
  return paths;
}

}  // namespace tessavar
