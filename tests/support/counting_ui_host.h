// The shared test double for the window around a long operation: the
// counting hook, and the busy pointer it was last given.
#ifndef TESSAVAR_TESTS_SUPPORT_COUNTING_UI_HOST_H_
#define TESSAVAR_TESTS_SUPPORT_COUNTING_UI_HOST_H_

#include "model/ui_host.h"
#include "support/counting_progress_hook.h"

namespace tessavar::testing {

class CountingUiHost : public CountingHook<UiHost> {
 public:
  using CountingHook::CountingHook;

  void SetBusyPointer(bool value) override {
    busy = value;
    if (value) ++busy_count;
  }

  bool busy = false;
  int busy_count = 0;
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_COUNTING_UI_HOST_H_
