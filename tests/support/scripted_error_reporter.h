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
    if (on_show) on_show();
    if (answers_.empty()) return ErrorChoice::kCancel;
    ErrorChoice choice = answers_.front();
    answers_.pop_front();
    return choice;
  }

  std::vector<std::string> messages;
  // Runs before each answer: a test's way to remove the cause of the error
  // (create a missing directory or file) before it answers Retry.
  std::function<void()> on_show;

 private:
  std::deque<ErrorChoice> answers_;
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_SCRIPTED_ERROR_REPORTER_H_
