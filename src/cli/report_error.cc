// The one form of a command's error message, shared by tessavar-cli and the
// renderer it runs.
#include <iostream>

#include "cli/cli_command.h"
#include "cli/terminal_text.h"

namespace tessavar::cli {

std::string ErrorText(const Status& status) {
  std::string text;
  if (!status.path().empty()) {
    text = status.path();
    if (status.line() > 0) text += ", line " + std::to_string(status.line());
    text += ": ";
  }
  text +=
      status.detail().empty() ? ErrorMessage(status.number()) : status.detail();
  return text;
}

int ReportError(const std::string& command, const Status& status) {
  std::cerr << "tessavar-cli " << command << ": "
            << TerminalText(ErrorText(status)) << '\n';
  return kExitFile;
}

}  // namespace tessavar::cli
