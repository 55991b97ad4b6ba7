// What long operations need from the window around them: yielding to the
// event loop and the busy pointer. The desktop program implements it with
// Qt; the command-line composer and the tests use the do-nothing default.
#ifndef TESSAVAR_APP_UI_HOST_H_
#define TESSAVAR_APP_UI_HOST_H_

namespace tessavar {

class UiHost {
 public:
  virtual ~UiHost() = default;
  // Lets pending window events run (this is how a Cancel click arrives).
  virtual void Yield() {}
  // Shows the hourglass pointer (true) or the default pointer (false).
  virtual void SetBusyPointer(bool /*busy*/) {}
};

}  // namespace tessavar

#endif  // TESSAVAR_APP_UI_HOST_H_
