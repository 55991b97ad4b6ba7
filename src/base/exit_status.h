// The exit statuses of the command-line programs (tessavar-cli and the
// tessavar-render and tessavar-roll programs it runs), and their help text
// built from them, so that what a program says and what it does agree.
#ifndef TESSAVAR_BASE_EXIT_STATUS_H_
#define TESSAVAR_BASE_EXIT_STATUS_H_

#include <string>

namespace tessavar {

// One exit status per kind of failure, in every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitInvalid = 1;  // a parameter check failed
inline constexpr int kExitFile = 2;     // a file or the arguments are wrong
// 128 + the signal number, as shells report a process ended by a signal.
inline constexpr int kExitSignalBase = 128;

// "Exit status: 0 success; 1 a parameter check failed; ...", for --help.
std::string ExitStatusHelp();

}  // namespace tessavar

#endif  // TESSAVAR_BASE_EXIT_STATUS_H_
