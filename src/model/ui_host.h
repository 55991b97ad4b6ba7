// What long operations need from the window around them: yielding to the
// event loop and the busy pointer. The desktop program implements it with
// Qt; the command-line composer and the tests use the do-nothing default.
#ifndef TESSAVAR_MODEL_UI_HOST_H_
#define TESSAVAR_MODEL_UI_HOST_H_

#include "engine/progress_hook.h"

namespace tessavar {

class UiHost : public ProgressHook {
 public:
  // Shows the hourglass pointer (true) or the default pointer (false).
  virtual void SetBusyPointer(bool /*busy*/) {}
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_UI_HOST_H_
