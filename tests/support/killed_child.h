// A piece of the program run in a child process that is then killed, as a
// user's kill -9 (or a crash) would end the program.
#ifndef TESSAVAR_TESTS_SUPPORT_KILLED_CHILD_H_
#define TESSAVAR_TESTS_SUPPORT_KILLED_CHILD_H_

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <functional>
#include <string>

namespace tessavar::testing {

using ReadyCall = std::function<void()>;

inline constexpr int kReadyTimeoutMs = 60000;

// Runs body in a child process; once body has returned (or called `ready`
// itself, from inside), while_alive runs here and then the child is killed
// with signal_number and reaped. True when the child reached that point
// and was killed by the signal.
inline bool RunAndKill(const std::function<void(const ReadyCall& ready)>& body,
                       int signal_number,
                       const std::function<void()>& while_alive = {}) {
  int fds[2];
  if (::pipe(fds) != 0) return false;
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::close(fds[0]);
    const auto ready = [fd = fds[1]] {
      const char byte = 1;
      (void)!::write(fd, &byte, 1);
      for (;;) ::pause();
    };
    try {
      body(ready);
      ready();
    } catch (...) {
    }
    ::_exit(1);
  }
  ::close(fds[1]);
  // A child that never gets there (it failed, or hangs) is killed anyway.
  struct pollfd ready_pipe = {fds[0], POLLIN, 0};
  char byte = 0;
  const bool reached = ::poll(&ready_pipe, 1, kReadyTimeoutMs) == 1 &&
                       ::read(fds[0], &byte, 1) == 1;
  ::close(fds[0]);
  if (reached && while_alive) while_alive();
  ::kill(child, signal_number);
  int status = 0;
  ::waitpid(child, &status, 0);
  return reached && WIFSIGNALED(status) && WTERMSIG(status) == signal_number;
}

// Dates a file back, as it looks to a program started later.
inline void MakeOld(const std::string& path) {
  const time_t old = std::time(nullptr) - 3600;
  const struct timespec times[2] = {{old, 0}, {old, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_KILLED_CHILD_H_
