#include "model/error_reporter.h"

#include <iostream>

namespace tessavar {

ErrorChoice CancelingErrorReporter::ShowError(const std::string& message) {
  std::cerr << message << '\n';
  return ErrorChoice::kCancel;
}

bool AskRetryAfterError(const Status& status, ErrorReporter& reporter) {
  if (!RetryCanHelp(status.number())) {
    reporter.ShowFailure(status.Message());
    return false;
  }
  return reporter.ShowError(status.Message()) == ErrorChoice::kRetry;
}

Status RunWithRetry(ErrorReporter& reporter,
                    const std::function<Status()>& step) {
  for (;;) {
    Status status;
    try {
      status = step();
    } catch (const RunTimeError& error) {
      status = error.status();
    }
    if (status.ok() || !AskRetryAfterError(status, reporter)) return status;
  }
}

Status RunWithRetry(ErrorReporter& reporter,
                    const std::function<void()>& step) {
  return RunWithRetry(reporter, std::function<Status()>([&step] {
                        step();
                        return Status();
                      }));
}

}  // namespace tessavar
