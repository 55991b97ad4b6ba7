// The one form of a command's error message, shared by tessavar-cli and the
// renderer it runs.
#include <iostream>

#include "cli/cli_command.h"

namespace tessavar::cli {

int ReportError(const std::string& command, const Status& status) {
  std::cerr << "tessavar-cli " << command << ": ";
  if (!status.path().empty()) {
    std::cerr << status.path();
    if (status.line() > 0) std::cerr << ", line " << status.line();
    std::cerr << ": ";
  }
  std::cerr << (status.detail().empty() ? ErrorMessage(status.number())
                                        : status.detail())
            << '\n';
  return kExitFile;
}

}  // namespace tessavar::cli
