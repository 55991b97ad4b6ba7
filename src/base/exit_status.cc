#include "base/exit_status.h"

#include <csignal>

namespace tessavar {

std::string ExitStatusHelp() {
  const auto status = [](int number) { return std::to_string(number); };
  return "Exit status: " + status(kExitOk) + " success; " +
         status(kExitInvalid) + " a parameter check failed; " +
         status(kExitFile) +
         " a file could not\nbe read or written, or the arguments are wrong; " +
         status(kExitSignalBase) + "+N interrupted by\nsignal N (" +
         status(kExitSignalBase + SIGINT) + " for Ctrl-C, " +
         status(kExitSignalBase + SIGTERM) + " for SIGTERM).";
}

}  // namespace tessavar
