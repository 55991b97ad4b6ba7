#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "midi/composition_info.h"
#include "midi/writer_layout_file.h"
#include "support/cli_process.h"
#include "support/temp_dir.h"

#ifdef TESSAVAR_CLI_PATH

namespace tessavar {
namespace {

// Runs `tessavar-cli info` with the words.
testing::CliOutcome Info(const testing::TempDir& dir,
                         std::vector<std::string> words) {
  words.insert(words.begin(), "info");
  return testing::RunCliWords(words, dir.path());
}

TEST(InfoCommandTest, PrintsTheEmbeddedInformation) {
  testing::TempDir dir;
  std::string fresh =
      testing::WriterLayoutFile(120, testing::SampleTracks(1)).bytes;
  dir.Write("fresh.mid", fresh);
  dir.Write("song.mid", BytesWithCompInfo(fresh, "Rondo in D, take 2").value());

  testing::CliOutcome plain = Info(dir, {dir / "fresh.mid"});
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.out, "TVX\n");

  testing::CliOutcome song = Info(dir, {dir / "song.mid"});
  EXPECT_EQ(song.status, 0);
  EXPECT_EQ(song.out, "Rondo in D, take 2\n");
}

TEST(InfoCommandTest, UnreadableFilesAndBadUsageFail) {
  testing::TempDir dir;
  dir.Write("short.mid", "MThd");
  EXPECT_EQ(Info(dir, {dir / "short.mid"}).status, 2);
  EXPECT_EQ(Info(dir, {dir / "none.mid"}).status, 2);
  EXPECT_FALSE(dir.Exists("none.mid"));
  EXPECT_EQ(Info(dir, {}).status, 2);
  EXPECT_EQ(Info(dir, {"a.mid", "b.mid"}).status, 2);
}

// Files that are not MIDI, MIDI files without the information, devices and
// FIFOs: a failure with nothing printed, and no waiting.
TEST(InfoCommandTest, OnlyTheProgramsMidiFilesHaveInformation) {
  testing::TempDir dir;
  dir.Write("song.tvx", "2.0\r\n1234567890123456\r\n 0 \r\n");
  std::string other =
      testing::WriterLayoutFile(120, testing::SampleTracks(1)).bytes;
  other[24] = '\x01';  // a text event, not the name, opens the first track
  dir.Write("other.mid", other);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  for (const std::string& path : {dir / "song.tvx", dir / "other.mid",
                                  dir / "fifo", std::string("/dev/zero")}) {
    testing::CliOutcome result = Info(dir, {path});
    EXPECT_EQ(result.status, 2) << path;
    EXPECT_EQ(result.out, "") << path;
  }
}

TEST(InfoCommandTest, ControlCharactersAreShownEscaped) {
  testing::TempDir dir;
  std::string fresh =
      testing::WriterLayoutFile(120, testing::SampleTracks(1)).bytes;
  dir.Write(
      "title.mid",
      BytesWithCompInfo(fresh, "\x1b]0;pwn\x07\x1b[2J\\ \xc2\x9b caf\xc3\xa9")
          .value());
  testing::CliOutcome result = Info(dir, {dir / "title.mid"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "\\x1b]0;pwn\\x07\\x1b[2J\\\\ \\xc2\\x9b caf\xc3\xa9\n");
}

}  // namespace
}  // namespace tessavar

#endif  // TESSAVAR_CLI_PATH
