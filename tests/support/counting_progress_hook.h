// The shared test double for the program around a long operation: counts
// yields, runs a callback at each (a test's way to click Cancel in the
// middle) and answers `stop` when asked whether to stop. CountingUiHost adds the busy pointer for the model's commands.
#ifndef TESSAVAR_TESTS_SUPPORT_COUNTING_PROGRESS_HOOK_H_
#define TESSAVAR_TESTS_SUPPORT_COUNTING_PROGRESS_HOOK_H_

#include <functional>
#include <utility>

#include "engine/progress_hook.h"

namespace tessavar::testing {

template <typename Hook = ProgressHook>
class CountingHook : public Hook {
 public:
  CountingHook() = default;
  explicit CountingHook(std::function<void(int)> callback)
      : on_yield(std::move(callback)) {}

  void Yield() override {
    ++yields;
    if (on_yield) on_yield(yields);
  }
  bool StopRequested() const override { return stop; }

  int yields = 0;
  // What StopRequested answers.
  bool stop = false;
  // Called with the number of yields so far.
  std::function<void(int)> on_yield;
};

using CountingProgressHook = CountingHook<>;

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_COUNTING_PROGRESS_HOOK_H_
