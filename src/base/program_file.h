// Where the running program's file is, and the helper programs installed
// with it (tessavar-cli runs tessavar-render and tessavar-roll, the window
// finds its factory files from its own directory).
#ifndef TESSAVAR_BASE_PROGRAM_FILE_H_
#define TESSAVAR_BASE_PROGRAM_FILE_H_

#include <string>
#include <string_view>

#include "base/status.h"

namespace tessavar {

// The running program's file, with symbolic links (such as one in a bin
// directory of the PATH) resolved; an error when the system cannot tell.
Result<std::string> OwnProgramPath();

// The helper program `name` of the program at `executable`: in
// <prefix>/libexec/tessavar when that directory exists (an installed tree,
// the program in <prefix>/bin), else beside the program (the build tree,
// where every program is in bin/).
std::string SiblingProgramPathFor(const std::string& executable,
                                  std::string_view name);

// The helper program `name` of the running program.
Result<std::string> SiblingProgramPath(std::string_view name);

}  // namespace tessavar

#endif  // TESSAVAR_BASE_PROGRAM_FILE_H_
