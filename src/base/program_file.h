// Where the running program's file is, and the programs installed beside
// it (tessavar-cli runs tessavar-render and tessavar-roll from its own
// directory, the window finds its factory files from its own directory).
#ifndef TESSAVAR_BASE_PROGRAM_FILE_H_
#define TESSAVAR_BASE_PROGRAM_FILE_H_

#include <string>
#include <string_view>

#include "base/status.h"

namespace tessavar {

// The running program's file, with symbolic links (such as one in a bin
// directory of the PATH) resolved; an error when the system cannot tell.
Result<std::string> OwnProgramPath();

// The program `name` in the running program's directory.
Result<std::string> SiblingProgramPath(std::string_view name);

}  // namespace tessavar

#endif  // TESSAVAR_BASE_PROGRAM_FILE_H_
