// Test double for the error report: answers from a script and records the
// messages it was shown.
#ifndef TESSAVAR_TESTS_SUPPORT_SCRIPTED_ERROR_REPORTER_H_
#define TESSAVAR_TESTS_SUPPORT_SCRIPTED_ERROR_REPORTER_H_

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "model/error_reporter.h"

namespace tessavar::testing {

class ScriptedErrorReporter : public ErrorReporter {
 public:
  // Answers in order; Cancel once the script is used up.
  explicit ScriptedErrorReporter(std::deque<ErrorChoice> answers = {})
      : answers_(std::move(answers)) {}

  ErrorChoice ShowError(const std::string& message) override {
    messages.push_back(message);
    if (on_show) on_show(static_cast<int>(messages.size()));
    if (answers_.empty()) return ErrorChoice::kCancel;
    ErrorChoice choice = answers_.front();
    answers_.pop_front();
    return choice;
  }

  // Shown without Retry: recorded too, and answers nothing.
  void ShowFailure(const std::string& message) override {
    messages.push_back(message);
    ++failures;
  }

  std::vector<std::string> messages;  // every message, in order
  int failures = 0;                   // of them shown without Retry
  // Called with the number of messages so far, before the answer: a test's
  // way to repair the cause while the message is shown.
  std::function<void(int)> on_show;

 private:
  std::deque<ErrorChoice> answers_;
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_SCRIPTED_ERROR_REPORTER_H_
