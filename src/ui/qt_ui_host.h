// Yielding and the busy pointer for the desktop program.
#ifndef TESSAVAR_UI_QT_UI_HOST_H_
#define TESSAVAR_UI_QT_UI_HOST_H_

#include <functional>

#include "model/ui_host.h"

namespace tessavar {

class QtUiHost : public UiHost {
 public:
  ~QtUiHost() override;
  // Runs the pending window events; a Cancel click arrives this way.
  void Yield() override;
  // The hourglass over the whole application while busy.
  void SetBusyPointer(bool busy) override;
  bool busy() const { return busy_; }
  // True while a command is waiting in Yield: the events run then belong
  // to that command, which has not finished.
  bool yielding() const { return yield_depth_ > 0; }

  // Runs before each yield, so that the window shows the state the running
  // command has reached.
  std::function<void()> before_yield;

 private:
  bool busy_ = false;
  int yield_depth_ = 0;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_QT_UI_HOST_H_
