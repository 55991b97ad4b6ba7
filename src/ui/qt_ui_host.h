// Yielding and the busy pointer for the desktop program.
#ifndef TESSAVAR_UI_QT_UI_HOST_H_
#define TESSAVAR_UI_QT_UI_HOST_H_

#include <chrono>
#include <functional>
#include <optional>

#include "model/ui_host.h"

namespace tessavar {

class QtUiHost : public UiHost {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // Events run at most this often: often enough for a Cancel click to
  // answer at once, rarely enough that composing runs at full speed.
  static constexpr std::chrono::milliseconds kYieldInterval{12};

  // The clock decides when a yield runs the events (a test passes its own).
  explicit QtUiHost(Clock clock = std::chrono::steady_clock::now);
  ~QtUiHost() override;
  // Runs the pending window events, a Cancel click among them, when the
  // last yield that ran them is at least kYieldInterval ago. The first
  // yield after SetBusyPointer(true) runs them always: a command shows its
  // Cancel button at once.
  void Yield() override;
  void SetBusyPointer(bool busy) override;
  bool busy() const { return busy_; }
  // True while a command is waiting in Yield: the events run then belong
  // to that command, which has not finished.
  bool yielding() const { return yield_depth_ > 0; }

  // Runs before each yield that runs the events, so that the window shows
  // the state the running command has reached.
  std::function<void()> before_yield;

 private:
  Clock clock_;
  std::optional<std::chrono::steady_clock::time_point> last_events_;
  bool busy_ = false;
  int yield_depth_ = 0;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_QT_UI_HOST_H_
