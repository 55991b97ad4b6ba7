// The one form of a command's error message, shared by tessavar-cli and the
// renderer it runs.
#include <iostream>

#include "base/terminal_text.h"
#include "cli/cli_command.h"
#include "cli/standard_streams.h"

namespace tessavar::cli {

int ReportError(const std::string& command, const Status& status) {
  std::cerr << "tessavar-cli " << command << ": "
            << TerminalText(NamingStandardInput(status.LineText())) << '\n';
  return kExitFile;
}

}  // namespace tessavar::cli
