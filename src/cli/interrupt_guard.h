// Ctrl-C and SIGTERM during a run of many pieces: instead of ending the
// process at once, the signal is noted so that the run can finish the piece
// in hand, remove its working file and end with 128 + the signal number.
#ifndef TESSAVAR_CLI_INTERRUPT_GUARD_H_
#define TESSAVAR_CLI_INTERRUPT_GUARD_H_

#include <csignal>

namespace tessavar::cli {

class InterruptGuard {
 public:
  // Catches SIGINT and SIGTERM until destroyed.
  InterruptGuard();
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  // The signal received so far, 0 when none.
  static int Received();

 private:
  struct sigaction previous_int_ {};
  struct sigaction previous_term_ {};
};

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_INTERRUPT_GUARD_H_
