#include "files/file_names.h"

#include <gtest/gtest.h>

namespace tessavar {
namespace {

TEST(FileNamesTest, ReplacesOrAppendsTheExtension) {
  EXPECT_EQ(ReplaceExtension("BASS", "orc"), "BASS.orc");
  EXPECT_EQ(ReplaceExtension("BASS.TXT", "orc"), "BASS.orc");
  EXPECT_EQ(ReplaceExtension("/home/u/a.b.c", "sca"), "/home/u/a.b.sca");
  EXPECT_EQ(ReplaceExtension("/d/MY.DIR/SONG", "tvx"), "/d/MY.DIR/SONG.tvx");
  EXPECT_EQ(ReplaceExtension("SONG.", "tvx"), "SONG.tvx");
  EXPECT_EQ(CompanionMidiPath("/x/SONG.tvx"), "/x/SONG.MID");
  EXPECT_EQ(CompanionMidiPath(ReplaceExtension("SONG.MID", "tvx")), "SONG.MID");
}

TEST(FileNamesTest, CaptionNamesTheFileOnce) {
  EXPECT_EQ(DisplayFileName("/a/b/SONG.tvx"), "SONG.tvx");
  EXPECT_EQ(DisplayFileName("SONG.tvx"), "SONG.tvx");
  std::string caption =
      CaptionWithFileName("Tessavar Composer", "/music/SONG.tvx");
  EXPECT_EQ(caption, "Tessavar Composer [SONG.tvx]");
  EXPECT_EQ(CaptionWithFileName(caption, "/music/other.tvx"),
            "Tessavar Composer [other.tvx]");
}

}  // namespace
}  // namespace tessavar
