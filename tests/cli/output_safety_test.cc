// The command line's file safety: inputs too large to read are refused by
// name before they are read, and a write-protected output is replaced only
// with --force, as the shell's ">" refuses it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "support/cli_process.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

#ifdef TESSAVAR_CLI_PATH

namespace fs = std::filesystem;
using testing::RunCliWords;

// A tiny MIDI file: one track, one quarter note.
std::string SmallMidi() {
  return std::string("MThd\0\0\0\x06\0\0\0\x01\0\x60MTrk\0\0\0\x0C", 22) +
         std::string("\0\x90\x3C\x64\x60\x80\x3C\0\0\xFF\x2F\0", 12);
}

TEST(OutputSafetyTest, HugeInputsAreRefusedByNameBeforeReading) {
  testing::TempDir dir;
  const std::string huge = dir / "huge.mid";
  dir.Write("huge.mid", SmallMidi());
  fs::resize_file(huge, uint64_t{64} << 30);  // sparse
  std::vector<std::vector<std::string>> commands = {
      {"render", huge, dir / "out.flac"},
      {"compose", huge, "-o", dir / "out.mid"},
      {"show", huge}};
  const std::string roll =
      (fs::path(TESSAVAR_CLI_PATH).parent_path() / "tessavar-roll").string();
  if (::access(roll.c_str(), X_OK) == 0) {
    commands.push_back({"roll", huge, dir / "out.png"});
  }
  for (const std::vector<std::string>& words : commands) {
    testing::CliOutcome run = RunCliWords(words, dir.path());
    EXPECT_EQ(run.status, 2) << words[0] << ": " << run.err;
    EXPECT_NE(run.err.find("huge.mid"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("65536 MB; files of at most "), std::string::npos)
        << words[0] << ": " << run.err;
  }
  EXPECT_EQ(testing::EntriesOf(dir.path()),
            std::vector<std::string>{"huge.mid"});
}

// As the unprivileged user "nobody" (root may write anything, and the
// shell lets it): compose refuses a 0444 output and replaces it with
// --force, keeping its mode.
TEST(OutputSafetyTest, WriteProtectedOutputsNeedForce) {
  testing::TempDir dir;
  fs::permissions(dir.path(), fs::perms::all);
  const std::string out = dir / "locked.mid";
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::getuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(10);
    }
    WriteFileAtomically(out, "old");
    ::chmod(out.c_str(), 0444);
    const testing::CliOutcome refused =
        RunCliWords({"compose", "-o", out}, dir.path());
    if (refused.status != 2) ::_exit(11);
    if (refused.err.find("write-protected") == std::string::npos) ::_exit(12);
    if (ReadWholeFile(out) != "old") ::_exit(13);
    const testing::CliOutcome forced =
        RunCliWords({"compose", "--force", "-o", out}, dir.path());
    if (forced.status != 0 || ReadWholeFile(out).rfind("MThd", 0) != 0) {
      ::_exit(14);
    }
    struct stat info = {};
    ::stat(out.c_str(), &info);
    ::_exit((info.st_mode & 07777) == 0444 ? 0 : 15);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0)
      << "10 privileges, 11 status, 12 message, 13 kept, 14 forced, 15 mode";
  EXPECT_EQ(testing::EntriesOf(dir.path()),
            std::vector<std::string>{"locked.mid"});
}

#endif  // TESSAVAR_CLI_PATH

}  // namespace
}  // namespace tessavar
