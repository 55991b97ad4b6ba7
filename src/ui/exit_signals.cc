#include "ui/exit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <atomic>
#include <cerrno>

namespace tessavar {
namespace {

constexpr std::array<int, 3> kExitSignals = {SIGTERM, SIGHUP, SIGINT};

// What the handler may touch: plain values, set before it is installed.
struct SignalPipe {
  int read_fd = -1;
  int write_fd = -1;
  std::atomic<bool> received{false};
};

SignalPipe& ThePipe() {
  static SignalPipe pipe;
  return pipe;
}

void OnExitSignal(int signal_number) {
  SignalPipe& pipe = ThePipe();
  if (pipe.received.exchange(true)) {
    // Asked again while ending: the default action, now.
    ::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
    return;
  }
  const int saved_errno = errno;
  const char byte = static_cast<char>(signal_number);
  (void)!::write(pipe.write_fd, &byte, 1);
  errno = saved_errno;
}

}  // namespace

ExitSignals::ExitSignals(QObject* parent) : QObject(parent) {
  SignalPipe& pipe = ThePipe();
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  pipe.read_fd = fds[0];
  pipe.write_fd = fds[1];
  notifier_ = new QSocketNotifier(pipe.read_fd, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &ExitSignals::ReadPipe);
  struct sigaction action = {};
  action.sa_handler = OnExitSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (int signal_number : kExitSignals) {
    ::sigaction(signal_number, &action, nullptr);
  }
}

ExitSignals::~ExitSignals() {
  for (int signal_number : kExitSignals) ::signal(signal_number, SIG_DFL);
  SignalPipe& pipe = ThePipe();
  if (pipe.read_fd < 0) return;
  ::close(pipe.read_fd);
  ::close(pipe.write_fd);
  pipe.read_fd = pipe.write_fd = -1;
}

void ExitSignals::ReadPipe() {
  char byte = 0;
  int last = 0;
  while (::read(ThePipe().read_fd, &byte, 1) == 1) last = byte;
  if (last != 0) emit Received(last);
}

}  // namespace tessavar
