#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "midi/composition_info.h"
#include "midi/scratch_directory.h"
#include "midi/writer_layout_file.h"

#ifdef TESSAVAR_CLI_PATH

namespace tessavar {
namespace {

struct CliResult {
  int status;
  std::string out;
};

// Runs tessavar-cli with arguments; standard error is discarded.
CliResult RunCli(const std::string& arguments) {
  std::string command =
      std::string(TESSAVAR_CLI_PATH) + " " + arguments + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  CliResult result{-1, ""};
  if (pipe == nullptr) return result;
  char buffer[256];
  while (size_t got = std::fread(buffer, 1, sizeof(buffer), pipe)) {
    result.out.append(buffer, got);
  }
  int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(InfoCommandTest, PrintsTheEmbeddedInformation) {
  testing::ScratchDirectory dir;
  std::string fresh =
      testing::WriterLayoutFile(120, testing::SampleTracks(1)).bytes;
  dir.Write("fresh.mid", fresh);
  dir.Write("song.mid", BytesWithCompInfo(fresh, "Rondo in D, take 2").value());

  CliResult plain = RunCli("info '" + (dir / "fresh.mid") + "'");
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.out, "TVX\n");

  CliResult song = RunCli("info '" + (dir / "song.mid") + "'");
  EXPECT_EQ(song.status, 0);
  EXPECT_EQ(song.out, "Rondo in D, take 2\n");
}

TEST(InfoCommandTest, UnreadableFilesAndBadUsageFail) {
  testing::ScratchDirectory dir;
  dir.Write("short.mid", "MThd");
  EXPECT_EQ(RunCli("info '" + (dir / "short.mid") + "'").status, 2);
  EXPECT_EQ(RunCli("info '" + (dir / "none.mid") + "'").status, 2);
  EXPECT_FALSE(dir.Exists("none.mid"));
  EXPECT_EQ(RunCli("info").status, 2);
  EXPECT_EQ(RunCli("info a.mid b.mid").status, 2);
}

// Files that are not MIDI, MIDI files without the information, devices and
// FIFOs: a failure with nothing printed, and no waiting.
TEST(InfoCommandTest, OnlyTheProgramsMidiFilesHaveInformation) {
  testing::ScratchDirectory dir;
  dir.Write("song.tvx", "2.0\r\n1234567890123456\r\n 0 \r\n");
  std::string other =
      testing::WriterLayoutFile(120, testing::SampleTracks(1)).bytes;
  other[24] = '\x01';  // a text event, not the name, opens the first track
  dir.Write("other.mid", other);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  for (const std::string& path : {dir / "song.tvx", dir / "other.mid",
                                  dir / "fifo", std::string("/dev/zero")}) {
    CliResult result = RunCli("info '" + path + "'");
    EXPECT_EQ(result.status, 2) << path;
    EXPECT_EQ(result.out, "") << path;
  }
}

TEST(InfoCommandTest, ControlCharactersAreShownEscaped) {
  testing::ScratchDirectory dir;
  std::string fresh =
      testing::WriterLayoutFile(120, testing::SampleTracks(1)).bytes;
  dir.Write(
      "title.mid",
      BytesWithCompInfo(fresh, "\x1b]0;pwn\x07\x1b[2J\\ \xc2\x9b caf\xc3\xa9")
          .value());
  CliResult result = RunCli("info '" + (dir / "title.mid") + "'");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "\\x1b]0;pwn\\x07\\x1b[2J\\\\ \\xc2\\x9b caf\xc3\xa9\n");
}

}  // namespace
}  // namespace tessavar

#endif  // TESSAVAR_CLI_PATH
