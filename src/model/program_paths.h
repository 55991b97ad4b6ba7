// The program directory and the fixed file paths derived from it, and the
// directory of the factory files the project ships.
#ifndef TESSAVAR_MODEL_PROGRAM_PATHS_H_
#define TESSAVAR_MODEL_PROGRAM_PATHS_H_

#include <string>

namespace tessavar {

inline constexpr char kDefaultCompositionName[] = "DEFAULT.TVX";
inline constexpr char kHelpFileName[] = "THELP20.RTF";

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

// The share directory (the factory DEFAULT.TVX and THELP20.RTF) of the
// program at `executable`: share/tessavar beside the program's own
// directory, so an installed tree (<prefix>/bin, <prefix>/share/tessavar)
// and the build tree (bin/, share/tessavar) need no compiled-in path and
// can be moved.
std::string ShareDirectoryFor(const std::string& executable);

// The share directory of the running program; empty when the program
// cannot tell where it is.
std::string ShareDirectory();

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PROGRAM_PATHS_H_
