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

  // Runs before each yield, so that the window shows the state the running
  // command has reached.
  std::function<void()> before_yield;

 private:
  bool busy_ = false;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_QT_UI_HOST_H_
