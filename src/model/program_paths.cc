#include "model/program_paths.h"

#include <filesystem>

#include "base/program_file.h"

namespace tessavar {

namespace fs = std::filesystem;

ProgramPaths ProgramPaths::FromDirectory(const std::string& directory) {
  ProgramPaths paths;
  paths.program_directory = directory;
  if (!directory.empty() && directory.back() != '/') {
    paths.program_directory += '/';
  }
  const std::string& dir = paths.program_directory;
  paths.default_composition = dir + kDefaultCompositionName;
  paths.default_midi = dir + "DEFAULT.MID";
  paths.working_midi = dir + "TVX.MID";
  paths.help_file = dir + kHelpFileName;
  // The help file path with its last 11 characters replaced.
  paths.settings_file =
      paths.help_file.substr(0, paths.help_file.size() - 11) + "tvx.ini";
  return paths;
}

std::string ShareDirectoryFor(const std::string& executable) {
  const fs::path program_directory = fs::path(executable).parent_path();
  return (program_directory / ".." / "share" / "tessavar")
      .lexically_normal()
      .string();
}

std::string ShareDirectory() {
  const Result<std::string> program = OwnProgramPath();
  return program.ok() ? ShareDirectoryFor(program.value()) : std::string();
}

}  // namespace tessavar
