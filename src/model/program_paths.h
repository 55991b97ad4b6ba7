// The program directory and the fixed file paths derived from it.
#ifndef TESSAVAR_MODEL_PROGRAM_PATHS_H_
#define TESSAVAR_MODEL_PROGRAM_PATHS_H_

#include <string>

namespace tessavar {

struct ProgramPaths {
  std::string program_directory;  // ends in "/" unless empty
  std::string default_composition;
  std::string default_midi;
  std::string working_midi;
  std::string help_file;
  std::string settings_file;

  // Builds the paths from a directory; "/" is appended when the directory
  // is not empty and does not already end in "/".
  static ProgramPaths FromDirectory(const std::string& directory);
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PROGRAM_PATHS_H_
