// What the command-line tools print and where: standard output checked,
// terminal text escaped, "--", messages naming the cause, and the drawing
// program that `roll` runs.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "base/exit_status.h"
#include "support/cli_process.h"
#include "support/midi_bytes.h"
#include "support/soundfont_check.h"
#include "support/temp_dir.h"

#ifdef TESSAVAR_CLI_PATH

extern char** environ;

namespace tessavar {
namespace {

using testing::CliCommandLine;
using testing::RunCliWords;
using testing::ShellQuoted;

class CliIoTest : public ::testing::Test {
 protected:
  // Runs the words with standard output sent as `redirection` says.
  testing::CliOutcome RunWithOutput(const std::vector<std::string>& words,
                                    const std::string& redirection) {
    const std::string err = dir_.File("err.txt");
    const int status = testing::ShellStatus(
        CliCommandLine(words) + " " + redirection + " 2>" + ShellQuoted(err));
    return {status, "", dir_.Read("err.txt")};
  }

  testing::CliOutcome Run(const std::vector<std::string>& words) {
    return RunCliWords(words, dir_.path());
  }

  static size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + 1)) {
      ++count;
    }
    return count;
  }

  testing::TempDir dir_;
};

TEST_F(CliIoTest, AFailedStandardOutputIsAnErrorInEveryCommand) {
  const std::string midi = dir_.File("a.mid");
  ASSERT_EQ(Run({"compose", "-q", "-o", midi}).status, 0);
  const std::vector<std::vector<std::string>> commands = {
      {"compose", "-o", "-"},
      {"compose", "-o", dir_.File("b.mid"), "--json"},
      {"show"},
      {"show", "--json"},
      {"fields"},
      {"info", midi},
      {"--version"}};
  struct Case {
    std::string redirection, reason;
  };
  for (const Case& c : {Case{">/dev/full", "No space left on device"},
                        Case{">&-", "Bad file descriptor"}}) {
    for (const std::vector<std::string>& words : commands) {
      testing::CliOutcome run = RunWithOutput(words, c.redirection);
      EXPECT_EQ(run.status, 2) << words[0] << c.redirection;
      EXPECT_EQ(run.err, "tessavar-cli: standard output: " + c.reason + "\n")
          << words[0] << c.redirection;
    }
  }
  // Nothing to print, nothing to fail; the file is written in full.
  EXPECT_EQ(
      RunWithOutput({"compose", "-q", "-o", dir_.File("c.mid")}, ">&-").status,
      0);
  EXPECT_EQ(dir_.Read("c.mid"), dir_.Read("a.mid"));
  // The renderer, run in the command's place, finds the output closed too.
  if (!testing::DefaultSoundFontInstalled()) return;
  dir_.Write("short.mid", testing::WriterLayoutFile({testing::Quarters(8)}));
  testing::CliOutcome render = RunWithOutput(
      {"render", dir_.File("short.mid"), dir_.File("short.wav")}, ">&-");
  EXPECT_EQ(render.status, 2);
  EXPECT_EQ(render.err, "tessavar-cli: standard output: Bad file descriptor\n");
}

TEST_F(CliIoTest, ControlCharactersReachTheTerminalEscaped) {
  const std::string tvx = dir_.File("esc.tvx");
  ASSERT_EQ(
      Run({"compose", "-q", "-o", dir_.File("esc.mid"), "--save-composition",
           tvx, "--set", "user-defined-scale=1\x1b[2J\\"})
          .status,
      0);
  testing::CliOutcome shown = Run({"show", tvx});
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.out.find("user-defined-scale=1\\x1b[2J\\\\\n"),
            std::string::npos);
  EXPECT_EQ(shown.out.find('\x1b'), std::string::npos);
  // JSON escapes by itself, and keeps the value as it is.
  testing::CliOutcome json = Run({"show", "--json", tvx});
  EXPECT_NE(json.out.find(R"("1\u001b[2J\\")"), std::string::npos) << json.out;
  // A byte that is not UTF-8 cannot be carried by JSON: replaced.
  ASSERT_EQ(
      Run({"compose", "-q", "-o", dir_.File("esc.mid"), "--save-composition",
           tvx, "--set", "user-defined-scale=1\xe9"})
          .status,
      0);
  EXPECT_NE(Run({"show", tvx}).out.find("user-defined-scale=1\\xe9\n"),
            std::string::npos);
  json = Run({"show", "--json", tvx});
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_NE(json.out.find("\"1\xef\xbf\xbd\""), std::string::npos);

  for (const std::vector<std::string>& words :
       std::vector<std::vector<std::string>>{
           {"compose", "-o", dir_.File("x.mid"), "--set", "vol\x1bume.1=3"},
           {"compose", "-o", dir_.File("x.mid"), "--tonality",
            "\x9b"
            "31m"},
           {"compose", "-o", dir_.File("x.mid"), dir_.File("\x1b.tvx")},
           {"show", dir_.File("\x07.tvx")},
           {"info", dir_.File("\x1b.mid")},
           {"info", dir_.File("a.mid"), "\x1b[31m"}}) {
    testing::CliOutcome run = Run(words);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("\\x"), std::string::npos) << run.err;
    for (char c : run.err) {
      EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20)
          << run.err;
    }
  }
  const std::string odd = dir_.File("\x1b[31mred.mid");
  testing::CliOutcome summary = Run({"compose", "-o", odd});
  EXPECT_EQ(summary.out.find('\x1b'), std::string::npos) << summary.out;
  EXPECT_NE(summary.out.find("\\x1b[31mred.mid: "), std::string::npos);
}

TEST_F(CliIoTest, MessagesNameTheCauseAndThePathOnce) {
  dir_.Write("file", "");
  ASSERT_EQ(::mkfifo(dir_.File("fifo.sf2").c_str(), 0644), 0);
  const std::string midi = dir_.File("a.mid");
  ASSERT_EQ(Run({"compose", "-q", "-o", midi}).status, 0);
  const std::string long_name = dir_.File(std::string(256, 'n') + ".mid");
  struct Case {
    std::vector<std::string> words;
    std::string path, reason;
  };
  for (const Case& c : std::vector<Case>{
           {{"render", "-q", midi, "--stems", dir_.File("file")},
            dir_.File("file"),
            "(not a folder)"},
           {{"render", "-q", midi, dir_.File("o.wav"), "--soundfont",
             dir_.File("fifo.sf2")},
            dir_.File("fifo.sf2"),
            "(not a regular file)"},
           {{"compose", "-o", long_name}, long_name, "(the name is too long)"},
           {{"info", long_name}, long_name, "(the name is too long)"},
           {{"compose", "-o", "/dev/null"},
            "/dev/null",
            "(not a regular file)"},
           {{"compose", "-q", "-o", dir_.File("s.mid"), "--save-composition",
             "/dev/zero"},
            "/dev/zero",
            "(not a regular file)"},
           {{"render", "-q", midi, dir_.File("file/o.wav")},
            dir_.File("file/o.wav"),
            "Path not found (a part of the path is not a folder)"}}) {
    testing::CliOutcome run = Run(c.words);
    EXPECT_EQ(run.status, 2) << c.path;
    EXPECT_NE(run.err.find(c.path + ": "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.reason + "\n"), std::string::npos) << run.err;
    EXPECT_EQ(Count(run.err, c.path), 1u) << run.err;
    EXPECT_EQ(Count(run.err, "\n"), 1u) << run.err;
  }
  EXPECT_EQ(testing::EntriesOf(dir_.path()),
            (std::vector<std::string>{"a.mid", "fifo.sf2", "file"}));
}

TEST_F(CliIoTest, DoubleDashEndsTheOptions) {
  ASSERT_EQ(Run({"compose", "-q", "-o", dir_.File("-a.mid")}).status, 0);
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  testing::CliOutcome info = Run({"info", "--", "-a.mid"});
  EXPECT_EQ(Run({"info", "-a.mid"}).status, 2);
  testing::CliOutcome show = Run({"show", "--", "-none.tvx"});
  std::filesystem::current_path(cwd);
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.out, "TVX\n");
  EXPECT_NE(show.err.find("-none.tvx: File not found"), std::string::npos);
}

// The drawing program beside tessavar-cli, when the window was built.
class RollCommandTest : public CliIoTest {
 protected:
  void SetUp() override {
    const auto roll = std::filesystem::path(TESSAVAR_CLI_PATH).parent_path() /
                      "tessavar-roll";
    if (::access(roll.c_str(), X_OK) != 0) GTEST_SKIP() << "no tessavar-roll";
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    midi_ = dir_.File("a.mid");
    ASSERT_EQ(Run({"compose", "-q", "-o", midi_}).status, 0);
  }

  // Starts `tessavar-cli roll` drawing a large picture.
  pid_t StartLargeRoll(const std::string& picture) {
    std::vector<std::string> words = {
        TESSAVAR_CLI_PATH, "roll", midi_, picture, "--size", "16000x16000"};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    EXPECT_EQ(
        ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ),
        0);
    return pid;
  }

  // The drawing program started by `pid`, once it runs.
  static pid_t ChildOf(pid_t pid) {
    const std::string children = "/proc/" + std::to_string(pid) + "/task/" +
                                 std::to_string(pid) + "/children";
    for (int tries = 0; tries < 100; ++tries) {
      std::ifstream in(children);
      pid_t child = 0;
      if (in >> child) return child;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
  }

  // The status as a shell shows it: 128 + N for a program ended by signal N.
  static int ShellStatus(pid_t pid) {
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    return WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : WEXITSTATUS(raw);
  }

  std::string midi_;
};

TEST_F(RollCommandTest, PictureFormatAndSizeAreChecked) {
  struct Case {
    std::vector<std::string> options;
    std::string picture;
    int status;
  };
  for (const Case& c :
       std::vector<Case>{{{"--size=200x100"}, "a.PNG", 0},
                         {{"--size", "200x100"}, "a.Svg", 0},
                         {{}, "a.jpg", 2},
                         {{}, "png", 2},
                         {{"--size", "800x300junk"}, "b.png", 2},
                         {{"--size", "16385x300"}, "b.png", 2},
                         {{"--size", "99999999999x300"}, "b.png", 2},
                         {{"--size=-800x300"}, "b.png", 2}}) {
    std::vector<std::string> words = {"roll", midi_, dir_.File(c.picture)};
    words.insert(words.end(), c.options.begin(), c.options.end());
    testing::CliOutcome run = Run(words);
    EXPECT_EQ(run.status, c.status) << c.picture << " " << run.err;
    EXPECT_EQ(dir_.Exists(c.picture), c.status == 0) << c.picture;
    if (c.status == 0) continue;
    EXPECT_NE(run.err.find(c.options.empty() ? c.picture : "16384"),
              std::string::npos)
        << run.err;
  }
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  EXPECT_EQ(Run({"roll", "--", "a.mid", "-c.png"}).status, 0);
  std::filesystem::current_path(cwd);
  EXPECT_TRUE(dir_.Exists("-c.png"));
}

// The help says what an unreadable MIDI file gives, and it gives that.
TEST_F(RollCommandTest, HelpTellsTheStatusOfAnUnreadableFile) {
  const testing::CliOutcome help = Run({"roll", "--help"});
  EXPECT_NE(
      help.out.find(std::to_string(kExitFile) + " a file could not\nbe read"),
      std::string::npos)
      << help.out;
  const testing::CliOutcome run =
      Run({"roll", dir_.File("none.mid"), dir_.File("none.png")});
  EXPECT_EQ(run.status, kExitFile) << run.err;
  EXPECT_FALSE(dir_.Exists("none.png"));
}

TEST_F(RollCommandTest, SignalsReachTheDrawingProgram) {
  for (int signal : {SIGTERM, SIGINT}) {
    const pid_t pid = StartLargeRoll(dir_.File("big.png"));
    const pid_t child = ChildOf(pid);
    ASSERT_NE(child, 0);
    ::kill(pid, signal);
    EXPECT_EQ(ShellStatus(pid), 128 + signal);
    EXPECT_NE(::kill(child, 0), 0);  // gone, not drawing on
    EXPECT_EQ(testing::EntriesOf(dir_.path()),
              std::vector<std::string>{"a.mid"});
  }
  // A drawing program killed on its own: 128 + its signal, not 2.
  const pid_t pid = StartLargeRoll(dir_.File("big.png"));
  const pid_t child = ChildOf(pid);
  ASSERT_NE(child, 0);
  ::kill(child, SIGKILL);
  EXPECT_EQ(ShellStatus(pid), 128 + SIGKILL);
}

}  // namespace
}  // namespace tessavar

#endif  // TESSAVAR_CLI_PATH
