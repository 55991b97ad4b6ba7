// The programs installed beside tessavar-cli that do what it must not load
// itself: tessavar-render (the synthesizer) and tessavar-roll (Qt). Both
// are found the same way and run by the functions below.
#ifndef TESSAVAR_CLI_SIBLING_PROGRAM_H_
#define TESSAVAR_CLI_SIBLING_PROGRAM_H_

#include <string>
#include <vector>

#include "base/status.h"

namespace tessavar::cli {

// Runs `program` with `arguments` (its own name not included) to its end,
// passing Ctrl-C and SIGTERM on to it, and returns its exit status, or
// 128 + the signal that ended it. When a signal it was passed ended it,
// this program ends by the same signal, as the shell expects of a program
// stopped by Ctrl-C. A program that cannot start gives a status whose
// detail is the system's reason ("No such file or directory").
Result<int> RunSiblingProgram(const std::string& program,
                              const std::vector<std::string>& arguments);

// Becomes `program` with `arguments`, for a command that has nothing left
// to do once the program ends: signals, even SIGKILL, then reach the
// program itself, so it can never outlive what its caller waits for.
// Returns only when the program cannot start, with the system's reason as
// the status's detail.
Status ReplaceWithSiblingProgram(const std::string& program,
                                 const std::vector<std::string>& arguments);

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_SIBLING_PROGRAM_H_
