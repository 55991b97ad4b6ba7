// How the program tells the user about a failed step and asks whether to
// try again: the error reporter interface (a message box in the desktop
// program, standard error in the command-line composer, a scripted double
// in tests) and the one Retry/Cancel loop every file and playback
// procedure goes through.
#ifndef TESSAVAR_MODEL_ERROR_REPORTER_H_
#define TESSAVAR_MODEL_ERROR_REPORTER_H_

#include <functional>
#include <string>

#include "base/status.h"

namespace tessavar {

enum class ErrorChoice { kRetry, kCancel };

class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual ErrorChoice ShowError(const std::string& message) = 0;
  // An error that retrying cannot mend: shown with an OK button only.
  virtual void ShowFailure(const std::string& message) { ShowError(message); }
};

// Prints the message to standard error and cancels.
class CancelingErrorReporter : public ErrorReporter {
 public:
  ErrorChoice ShowError(const std::string& message) override;
};

// Shows the error and returns true when the user chose Retry; Retry is
// offered only where it can succeed (RetryCanHelp).
bool AskRetryAfterError(const Status& status, ErrorReporter& reporter);

// Runs a step until it succeeds or the user cancels: a RunTimeError thrown
// by the step (or a failed status it returns) is shown through the
// reporter, and Retry runs the step again. Returns the status the user
// gave up on, or ok.
Status RunWithRetry(ErrorReporter& reporter,
                    const std::function<Status()>& step);
Status RunWithRetry(ErrorReporter& reporter, const std::function<void()>& step);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_ERROR_REPORTER_H_
