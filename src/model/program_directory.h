// Where the desktop program keeps its files: $TESSAVAR_HOME when it is set,
// else ~/TessavarComposer; never the directory a terminal happens to be in.
#ifndef TESSAVAR_MODEL_PROGRAM_DIRECTORY_H_
#define TESSAVAR_MODEL_PROGRAM_DIRECTORY_H_

#include <string>

namespace tessavar {

inline constexpr char kProgramHomeVariable[] = "TESSAVAR_HOME";
inline constexpr char kProgramDirectoryName[] = "TessavarComposer";

// The program directory chosen by the two environment values (empty when
// unset): home_override wins; otherwise the folder kProgramDirectoryName in
// home. Empty when neither is set.
std::string ChooseProgramDirectory(const std::string& home_override,
                                   const std::string& home);

// Creates the directory when missing and copies into it each factory file
// (DEFAULT.TVX, THELP20.RTF from factory_directory) that it does not hold
// under any letter case; the copies get lower-case names, as every file the
// program writes. Files already there are never touched. Throws
// RunTimeError when the directory cannot be made or a copy fails.
void PrepareProgramDirectory(const std::string& directory,
                             const std::string& factory_directory);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PROGRAM_DIRECTORY_H_
