// The desktop program as a user starts it from a terminal, twice over one
// program directory, and ends it with signals.
#include "ui/single_instance.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <filesystem>
#include <functional>
#include <string>

#include "model/program_directory.h"
#include "support/cli_process.h"
#include "support/killed_child.h"
#include "support/temp_dir.h"

namespace tessavar::testing {
namespace {

constexpr int kWaitMilliseconds = 20000;
constexpr int kPollMilliseconds = 50;

bool WaitFor(const std::function<bool()>& condition,
             int timeout_ms = kWaitMilliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeout_ms) return false;
    QCoreApplication::processEvents();
    QThread::msleep(kPollMilliseconds);
  }
  return true;
}

// build/bin/tessavar on a program directory and a temporary folder of the
// test's own, without a display.
class WindowProcess {
 public:
  WindowProcess(const TempDir& home, const TempDir& tmp,
                const QStringList& arguments = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TESSAVAR_HOME", QString::fromStdString(home.path()));
    environment.insert("TMPDIR", QString::fromStdString(tmp.path()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process_.setProcessEnvironment(environment);
    process_.start(TESSAVAR_WINDOW_PATH, arguments);
  }
  ~WindowProcess() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished();
  }

  void Signal(int signal_number) {
    ::kill(static_cast<pid_t>(process_.processId()), signal_number);
  }
  // The exit status; -1 for an end by a signal, -2 for none yet.
  int Finish() {
    if (!process_.waitForFinished(kWaitMilliseconds)) return -2;
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode()
                                                         : -1;
  }
  const std::string& Errors() {
    errors_ += process_.readAllStandardError().toStdString();
    return errors_;
  }

 private:
  QProcess process_;
  std::string errors_;
};

std::string Shown(const std::string& composition, const std::string& scratch) {
  return RunCliWords({"show", composition}, scratch).out;
}

TEST(SingleInstanceTest, ASecondStartHandsOverItsFileAndSignalsExitCleanly) {
  TempDir home, tmp, songs;
  const std::string song = songs / "my song.tvx";
  ASSERT_EQ(RunCliWords({"compose", "--mapping", "77", "-o",
                         songs / "my song.mid", "--save-composition", song},
                        songs.path())
                .status,
            0);
  // What a program killed earlier left: a half-written file and the
  // folder of a drag.
  home.Write(".tessavar-abc123.tmp", "half a settings file");
  std::filesystem::create_directory(tmp / "tessavar-drag-abc123");
  tmp.Write("tessavar-drag-abc123/My Tune.mid", "MThd");
  MakeOld(home / ".tessavar-abc123.tmp");
  MakeOld(tmp / "tessavar-drag-abc123");
  // The drag folder of a living program, which holds it locked.
  std::filesystem::create_directory(tmp / "tessavar-drag-live00");
  const int live = ::open((tmp / "tessavar-drag-live00").c_str(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);
  MakeOld(tmp / "tessavar-drag-live00");

  for (int signal_number : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(signal_number);
    std::filesystem::remove(home / "tvx.ini");
    std::filesystem::remove(home / "default.tvx");
    WindowProcess first(home, tmp);
    // Listening once it holds the directory (two starts at once race for
    // it, and either may win).
    ASSERT_TRUE(WaitFor([&] {
      return QFileInfo::exists(InstanceServerName(home.path()));
    })) << first.Errors();
    WindowProcess second(home, tmp, {QString::fromStdString(song)});
    ASSERT_EQ(second.Finish(), 0) << second.Errors();
    EXPECT_FALSE(home.Exists(".tessavar-abc123.tmp"));
    EXPECT_FALSE(tmp.Exists("tessavar-drag-abc123"));
    EXPECT_TRUE(tmp.Exists("tessavar-drag-live00"));
    // The first window loaded it, and its recent list is saved at once.
    ASSERT_TRUE(WaitFor([&] {
      return home.Read("tvx.ini").find(song) != std::string::npos;
    })) << first.Errors();

    first.Signal(signal_number);
    ASSERT_EQ(first.Finish(), 0) << first.Errors();
    // Closed through the exit path: the panel is the default composition.
    EXPECT_EQ(Shown(home / "default.tvx", songs.path()),
              Shown(song, songs.path()));
    EXPECT_EQ(ProgramDirectoryLock(home.path()).state(),
              ProgramDirectoryLock::State::kHeld);
    // Its own drag folder went with it.
    for (const std::string& name : tmp.Entries()) {
      EXPECT_TRUE(name.rfind("tessavar-drag-", 0) != 0 ||
                  name == "tessavar-drag-live00")
          << name;
    }
  }
  ::close(live);
}

TEST(SingleInstanceTest, AHeldDirectoryWhoseHolderDoesNotAnswerIsReported) {
  TempDir home, tmp;
  const ProgramDirectoryLock silent_holder(home.path());
  ASSERT_EQ(silent_holder.state(), ProgramDirectoryLock::State::kHeld);
  WindowProcess second(home, tmp);
  const std::string expected =
      "Tessavar Composer is already running with the program directory " +
      std::filesystem::canonical(home.path()).string() + ".";
  ASSERT_TRUE(WaitFor(
      [&] { return second.Errors().find(expected) != std::string::npos; },
      kHandOverMilliseconds + kWaitMilliseconds))
      << second.Errors();
  // The message box is on screen; a signal closes it as Escape would.
  second.Signal(SIGTERM);
  EXPECT_EQ(second.Finish(), 1);
}

}  // namespace
}  // namespace tessavar::testing
