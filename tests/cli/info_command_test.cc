#include <gtest/gtest.h>
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

}  // namespace
}  // namespace tessavar

#endif  // TESSAVAR_CLI_PATH
