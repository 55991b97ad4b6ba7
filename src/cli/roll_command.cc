// tessavar-cli roll: the piano roll of a MIDI file as a picture. The drawing
// needs Qt, which the command-line composer never loads, so this runs the
// tessavar-roll program installed beside tessavar-cli.
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/terminal_text.h"
#include "cli/cli_command.h"

extern char** environ;

namespace tessavar::cli {
namespace {

constexpr char kDrawingProgram[] = "tessavar-roll";

constexpr char kDescription[] =
    "Draws the piano roll of a MIDI file as the window shows it: time\n"
    "across with bar lines (every fourth numbered), keys up with octave\n"
    "labels, one colour per track with a legend of the track names. The\n"
    "picture is PNG or SVG by the extension of OUT; a MIDI file that cannot\n"
    "be read writes no picture.";

struct RollArguments {
  std::string midi_path;
  std::string picture_path;
  std::string size;
  bool force = false;
};

std::string DrawingProgramPath() {
  std::error_code error;
  std::filesystem::path self =
      std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return kDrawingProgram;
  return (self.parent_path() / kDrawingProgram).string();
}

// Ctrl-C and SIGTERM held back while the drawing program runs, so that
// they reach it instead of ending this program and leaving it drawing. A
// signal this program ignores is left alone: the child ignores it too.
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

// Starts the program with the signal mask this program had; 0 on failure.
pid_t Start(const std::string& program, std::vector<std::string> words,
            const sigset_t& mask) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawnattr_t attributes;
  ::posix_spawnattr_init(&attributes);
  ::posix_spawnattr_setsigmask(&attributes, &mask);
  ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  const int failed = ::posix_spawn(&pid, program.c_str(), nullptr, &attributes,
                                   argv.data(), environ);
  ::posix_spawnattr_destroy(&attributes);
  return failed == 0 ? pid : 0;
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

// Runs the program to its end, passing signals on; nothing when it cannot
// start. The signals are back as they were when it returns.
std::optional<ChildOutcome> RunPassingSignals(const std::string& program,
                                              std::vector<std::string> words) {
  ForwardedSignals signals;
  const pid_t pid = Start(program, std::move(words), signals.previous());
  if (pid == 0) return std::nullopt;
  return WaitPassingSignals(pid, signals);
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

int RunRoll(const RollArguments& args) {
  const std::string program = DrawingProgramPath();
  if (::access(program.c_str(), X_OK) != 0) {
    std::cerr << "tessavar-cli roll: " << TerminalText(program)
              << " is missing; it is built with the desktop program\n";
    return kExitFile;
  }
  std::vector<std::string> words = {program};
  if (!args.size.empty()) words.push_back("--size=" + args.size);
  if (args.force) words.push_back("--force");
  // The names are never taken for options, whatever they start with.
  words.insert(words.end(), {"--", args.midi_path, args.picture_path});
  const std::optional<ChildOutcome> outcome =
      RunPassingSignals(program, std::move(words));
  if (!outcome) {
    std::cerr << "tessavar-cli roll: cannot start " << TerminalText(program)
              << "\n";
    return kExitFile;
  }
  if (outcome->received != 0) EndBySignal(outcome->received);
  return outcome->status;
}

std::function<int()> Setup(CLI::App& app) {
  app.description(kDescription);
  auto args = std::make_shared<RollArguments>();
  app.add_option("IN.mid", args->midi_path, "the MIDI file")->required();
  app.add_option("OUT", args->picture_path, "the picture: OUT.png or OUT.svg")
      ->required();
  app.add_option("--size", args->size,
                 "WIDTHxHEIGHT in pixels (default 1200x420, at most 16384 "
                 "a side)");
  app.add_flag("--force", args->force, "replace a write-protected OUT");
  return [args] { return RunRoll(*args); };
}

const bool kRegistered = RegisterCommand(
    {"roll", "draw the piano roll of a MIDI file (PNG or SVG)", Setup});

}  // namespace
}  // namespace tessavar::cli
