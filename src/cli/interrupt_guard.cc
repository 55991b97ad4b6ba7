#include "cli/interrupt_guard.h"

namespace tessavar::cli {
namespace {

// A signal handler can only reach static storage.
volatile std::sig_atomic_t received_signal = 0;

void NoteSignal(int signal) { received_signal = signal; }

}  // namespace

InterruptGuard::InterruptGuard() {
  received_signal = 0;
  struct sigaction action {};
  action.sa_handler = NoteSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous_int_);
  sigaction(SIGTERM, &action, &previous_term_);
}

InterruptGuard::~InterruptGuard() {
  sigaction(SIGINT, &previous_int_, nullptr);
  sigaction(SIGTERM, &previous_term_, nullptr);
}

int InterruptGuard::Received() { return received_signal; }

}  // namespace tessavar::cli
