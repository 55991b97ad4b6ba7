// Real audio servers for sound tests: a private PulseAudio server with a
// null sink and a JACK server on its dummy backend, each in a child process
// that is killed when the object goes (also when the test fails) and with
// the test process itself. Also the recorder of the null sink and a load of
// busy processes.
#ifndef TESSAVAR_TESTS_SUPPORT_SOUND_SERVER_H_
#define TESSAVAR_TESTS_SUPPORT_SOUND_SERVER_H_

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace tessavar::testing {

inline constexpr int kServerRate = 44100;
inline constexpr auto kServerStartLimit = std::chrono::seconds(10);
inline constexpr auto kStopLimit = std::chrono::seconds(3);

inline bool WaitUntil(const std::function<bool()>& ready,
                      std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!ready()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// A program run in a child process until Kill or destruction.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { Kill(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Standard output and error go to output_path (empty = /dev/null);
  // `before_exec` runs in the child (dropping privileges, say).
  bool Start(const std::vector<std::string>& argv,
             const std::string& output_path = {},
             const std::function<void()>& before_exec = {}) {
    Kill();
    pid_ = ::fork();
    if (pid_ < 0) return false;
    if (pid_ > 0) return true;
    // A server stopped by SIGKILL leaves its entry in JACK's registry.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    ::setpgid(0, 0);
    const std::string out = output_path.empty() ? "/dev/null" : output_path;
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      ::dup2(fd, STDOUT_FILENO);
      ::dup2(fd, STDERR_FILENO);
    }
    if (before_exec) before_exec();
    std::vector<char*> args;
    for (const std::string& arg : argv) {
      args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }

  bool Running() { return pid_ > 0 && ::waitpid(pid_, &status_, WNOHANG) == 0; }
  // Waits until `ready` while the program runs; false when it ends first
  // or is not ready within kServerStartLimit.
  bool WaitReady(const std::function<bool()>& ready) {
    bool up = false;
    WaitUntil([&] { return !Running() || (up = ready()); }, kServerStartLimit);
    return up && Running();
  }
  // Waits for the end; the exit code, or -1 when killed or not started.
  int Wait() {
    if (pid_ <= 0) return -1;
    ::waitpid(pid_, &status_, 0);
    pid_ = -1;
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  }
  // Asks the program to end (servers clean up after themselves), then
  // kills what is left.
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGTERM);
    ::kill(pid_, SIGTERM);
    if (!WaitUntil([this] { return ::waitpid(pid_, &status_, WNOHANG) != 0; },
                   kStopLimit)) {
      ::kill(-pid_, SIGKILL);
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status_, 0);
    }
    ::kill(-pid_, SIGKILL);  // the rest of its process group
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int status_ = 0;
};

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The server's log, for a failure message.
inline std::string StartFailure(const std::string& what,
                                const std::string& log) {
  return what + " did not start; its output:\n" + ReadText(log);
}

// PulseAudio with a null sink, its socket open to every user of the
// machine, in a directory of its own. Start sets PULSE_SERVER for the test
// process, so that the player and the recorder use it.
class PulseServer {
 public:
  static constexpr char kSink[] = "tessavar_test";

  explicit PulseServer(std::string program = "pulseaudio")
      : program_(std::move(program)) {
    ::chmod(dir_.path().c_str(), 0755);  // the socket's folder, for anyone
  }

  // False, with the reason in *why, when the server does not come up.
  bool Start(std::string* why) {
    const std::string home = dir_.File("home");
    std::filesystem::create_directories(home + "/runtime");
    ::chmod((home + "/runtime").c_str(), 0700);
    const std::string log = dir_.File("server.log");
    const bool started = server_.Start(
        {program_, "-n", "--daemonize=no", "--exit-idle-time=-1",
         "--use-pid-file=no", "--disable-shm=yes", "--log-target=stderr", "-L",
         std::string("module-null-sink sink_name=") + kSink +
             " rate=" + std::to_string(kServerRate),
         "-L",
         "module-native-protocol-unix auth-anonymous=1 socket=" + Socket()},
        log, [home] {
          ::setenv("HOME", home.c_str(), 1);
          ::setenv("XDG_RUNTIME_DIR", (home + "/runtime").c_str(), 1);
          ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        });
    const std::string server = Server();
    ::setenv("PULSE_SERVER", server.c_str(), 1);
    if (started && server_.WaitReady([&server] {
          ChildProcess info;
          return info.Start({"pactl", "-s", server, "info"}) &&
                 info.Wait() == 0;
        })) {
      return true;
    }
    *why = StartFailure("PulseAudio (" + program_ + ")", log);
    server_.Kill();
    return false;
  }
  void Kill() { server_.Kill(); }

  std::string Socket() const { return dir_.File("native"); }
  std::string Server() const { return "unix:" + Socket(); }
  const TempDir& dir() const { return dir_; }

 private:
  std::string program_;
  TempDir dir_;
  ChildProcess server_;
};

// The null sink's monitor, recorded as raw 16-bit stereo into a file that
// grows in real time.
class SinkRecorder {
 public:
  explicit SinkRecorder(const PulseServer& server)
      : path_(server.dir().File("recording.raw")) {
    recorder_.Start({"parec", "-s", server.Server(), "-d",
                     std::string(PulseServer::kSink) + ".monitor", "--raw",
                     "--format=s16le", "--channels=2",
                     "--rate=" + std::to_string(kServerRate),
                     "--latency-msec=10", path_});
  }
  // Frames recorded so far.
  int64_t Frames() const {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path_, ec);
    return ec ? 0 : static_cast<int64_t>(size / 4);
  }
  bool WaitForStart() {
    return WaitUntil([this] { return Frames() > 0; }, kServerStartLimit);
  }
  // Stops recording; the interleaved samples recorded.
  std::vector<int16_t> Finish() {
    recorder_.Kill();
    std::vector<int16_t> samples(static_cast<size_t>(Frames()) * 2);
    std::ifstream in(path_, std::ios::binary);
    in.read(reinterpret_cast<char*>(samples.data()),
            static_cast<std::streamsize>(samples.size() * 2));
    return samples;
  }

 private:
  std::string path_;
  ChildProcess recorder_;
};

// jackd on its dummy backend under a name of its own; Start points the
// test process's JACK clients at it.
class JackServer {
 public:
  static constexpr int kPeriodFrames = 256;

  ~JackServer() { Kill(); }

  bool Start(std::string* why) {
    ::setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    ::setenv("JACK_NO_START_SERVER", "1", 1);
    const std::string log = dir_.File("server.log");
    const bool started = server_.Start(
        {"jackd", "-S", "-n", name_, "-d", "dummy", "-r",
         std::to_string(kServerRate), "-p", std::to_string(kPeriodFrames)},
        log);
    if (started && server_.WaitReady([] {
          ChildProcess ports;
          return ports.Start({"jack_lsp"}) && ports.Wait() == 0;
        })) {
      return true;
    }
    *why = StartFailure("jackd", log);
    Kill();
    return false;
  }
  // Also removes the semaphores its clients leave behind.
  void Kill() {
    server_.Kill();
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator("/dev/shm", ec)) {
      if (entry.path().filename().string().find("_" + name_ + "_") !=
          std::string::npos) {
        std::filesystem::remove(entry.path(), ec);
      }
    }
  }

 private:
  const std::string name_ = "tessavar-test-" + std::to_string(::getpid());
  TempDir dir_;
  ChildProcess server_;
};

// Busy loops on every core and a process that keeps touching memory, as a
// parallel build would; all end with the object.
class MachineLoad {
 public:
  static constexpr size_t kPressureBytes = size_t{512} << 20;

  MachineLoad() {
    const unsigned cores = std::max(2u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < cores + 1; ++i) {
      loads_.emplace_back(std::make_unique<ChildProcess>());
      loads_.back()->Start({"sh", "-c", "while :; do :; done"});
    }
    loads_.emplace_back(std::make_unique<ChildProcess>());
    loads_.back()->Start(
        {"python3", "-c",
         "b = bytearray(" + std::to_string(kPressureBytes) +
             ")\nwhile True:\n  for i in range(0, len(b), 4096): b[i] = "
             "(b[i] + 1) % 256\n"});
  }

 private:
  std::vector<std::unique_ptr<ChildProcess>> loads_;
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_SOUND_SERVER_H_
