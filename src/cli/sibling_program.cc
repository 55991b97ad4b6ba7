#include "cli/sibling_program.h"

#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>

#include "cli/cli_command.h"

extern char** environ;

namespace tessavar::cli {
namespace {

// Ctrl-C and SIGTERM held back while the program runs, so that they reach
// it instead of ending this program and leaving it running. A signal this
// program ignores is left alone: the child ignores it too.
class ForwardedSignals {
 public:
  ForwardedSignals() {
    sigemptyset(&held_);
    sigaddset(&held_, SIGCHLD);
    for (int signal : {SIGINT, SIGTERM}) {
      struct sigaction current {};
      ::sigaction(signal, nullptr, &current);
      if (current.sa_handler != SIG_IGN) sigaddset(&held_, signal);
    }
    ::pthread_sigmask(SIG_BLOCK, &held_, &previous_);
    // An ignored SIGCHLD would reap the child before it could be waited for.
    struct sigaction child {};
    child.sa_handler = SIG_DFL;
    sigemptyset(&child.sa_mask);
    ::sigaction(SIGCHLD, &child, &previous_child_);
  }
  ~ForwardedSignals() {
    ::sigaction(SIGCHLD, &previous_child_, nullptr);
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  ForwardedSignals(const ForwardedSignals&) = delete;
  ForwardedSignals& operator=(const ForwardedSignals&) = delete;

  // The mask the program had: the child starts with it.
  const sigset_t& previous() const { return previous_; }

  // Waits for the next held signal.
  int Next() const {
    int signal = 0;
    return ::sigwait(&held_, &signal) == 0 ? signal : 0;
  }

 private:
  sigset_t held_;
  sigset_t previous_;
  struct sigaction previous_child_ {};
};

// The argument vector of `program`: its path first, then the arguments.
class ArgumentVector {
 public:
  ArgumentVector(const std::string& program,
                 const std::vector<std::string>& arguments)
      : words_{program} {
    words_.insert(words_.end(), arguments.begin(), arguments.end());
    for (std::string& word : words_) pointers_.push_back(word.data());
    pointers_.push_back(nullptr);
  }
  char* const* data() { return pointers_.data(); }

 private:
  std::vector<std::string> words_;
  std::vector<char*> pointers_;
};

// Starts the program with the signal mask this program had: its pid, or
// the errno of the failed start.
Result<pid_t> Start(const std::string& program,
                    const std::vector<std::string>& arguments,
                    const sigset_t& mask) {
  ArgumentVector argv(program, arguments);
  posix_spawnattr_t attributes;
  ::posix_spawnattr_init(&attributes);
  ::posix_spawnattr_setsigmask(&attributes, &mask);
  ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  const int failed = ::posix_spawn(&pid, program.c_str(), nullptr, &attributes,
                                   argv.data(), environ);
  ::posix_spawnattr_destroy(&attributes);
  if (failed != 0) {
    return Status(ErrorNumberFromErrno(failed), program, 0,
                  std::strerror(failed));
  }
  return pid;
}

struct ChildOutcome {
  int status = kExitFile;
  int received = 0;  // the signal passed on to the child, 0 when none
};

// Waits for the child, passing Ctrl-C and SIGTERM on to it; the exit
// status it gave, or 128 + the signal that ended it.
ChildOutcome WaitPassingSignals(pid_t pid, const ForwardedSignals& signals) {
  ChildOutcome outcome;
  for (;;) {
    const int signal = signals.Next();
    if (signal == SIGINT || signal == SIGTERM) {
      outcome.received = signal;
      ::kill(pid, signal);
      continue;
    }
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done < 0 && errno != EINTR) return outcome;
    if (done != pid) continue;
    if (WIFSIGNALED(status)) {
      outcome.status = kExitSignalBase + WTERMSIG(status);
    } else if (WIFEXITED(status)) {
      outcome.status = WEXITSTATUS(status);
    }
    if (outcome.received != 0) {
      outcome.status = kExitSignalBase + outcome.received;
    }
    return outcome;
  }
}

// Ends this program by the signal it received, as the shell expects of a
// program stopped by Ctrl-C; returns only when the signal is blocked.
void EndBySignal(int signal) {
  std::cout.flush();
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
  ::raise(signal);
}

}  // namespace

Result<int> RunSiblingProgram(const std::string& program,
                              const std::vector<std::string>& arguments) {
  ChildOutcome outcome;
  {
    // The signals are back as they were before this program ends by one.
    ForwardedSignals signals;
    const Result<pid_t> pid = Start(program, arguments, signals.previous());
    if (!pid.ok()) return pid.status();
    outcome = WaitPassingSignals(pid.value(), signals);
  }
  if (outcome.received != 0) EndBySignal(outcome.received);
  return outcome.status;
}

Status ReplaceWithSiblingProgram(const std::string& program,
                                 const std::vector<std::string>& arguments) {
  ArgumentVector argv(program, arguments);
  std::cout.flush();
  ::execv(program.c_str(), argv.data());
  const int failed = errno;
  return Status(ErrorNumberFromErrno(failed), program, 0,
                std::strerror(failed));
}

}  // namespace tessavar::cli
