// The shared test double for the window around a long operation: counts
// yields, runs a callback at each (a test's way to click Cancel in the
// middle), answers `stop` when asked whether to stop and remembers the busy
// pointer.
#ifndef TESSAVAR_TESTS_SUPPORT_COUNTING_UI_HOST_H_
#define TESSAVAR_TESTS_SUPPORT_COUNTING_UI_HOST_H_

#include <functional>
#include <utility>

#include "model/ui_host.h"

namespace tessavar::testing {

class CountingUiHost : public UiHost {
 public:
  CountingUiHost() = default;
  explicit CountingUiHost(std::function<void(int)> callback)
      : on_yield(std::move(callback)) {}

  void Yield() override {
    ++yields;
    if (on_yield) on_yield(yields);
  }
  bool StopRequested() const override { return stop; }
  void SetBusyPointer(bool value) override {
    busy = value;
    if (value) ++busy_count;
  }

  int yields = 0;
  bool stop = false;
  bool busy = false;
  int busy_count = 0;
  // Called with the number of yields so far.
  std::function<void(int)> on_yield;
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_COUNTING_UI_HOST_H_
