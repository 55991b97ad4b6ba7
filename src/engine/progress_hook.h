// What a long computation (composing, writing a MIDI file) offers the
// program around it: a chance to let pending events run at fixed points,
// and after each such point the question whether to stop, which is how a
// Cancel click reaches a running compose.
#ifndef TESSAVAR_ENGINE_PROGRESS_HOOK_H_
#define TESSAVAR_ENGINE_PROGRESS_HOOK_H_

namespace tessavar {

class ProgressHook {
 public:
  virtual ~ProgressHook() = default;
  virtual void Yield() {}
  // Whether the user asked the computation to stop; asked after a yield.
  virtual bool StopRequested() const { return false; }
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_PROGRESS_HOOK_H_
