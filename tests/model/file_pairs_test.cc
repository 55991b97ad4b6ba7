#include "model/file_pairs.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tessavar {
namespace {

// The exact name first; then the same stem in its own case with the
// extension in any case; only then a match that ignores case altogether.
TEST(FilePairsTest, TheCompanionKeepsTheCaseOfItsStem) {
  testing::TempDir dir;
  for (const char* name : {"SONG.mid", "song.mid", "Tune.MID", "tune.mid"}) {
    dir.Write(name, "x");
  }
  EXPECT_EQ(FindPairedFile(dir / "SONG.MID"), dir / "SONG.mid");
  EXPECT_EQ(FindPairedFile(dir / "song.MID"), dir / "song.mid");
  EXPECT_EQ(FindPairedFile(dir / "Tune.MID"), dir / "Tune.MID");
  EXPECT_EQ(FindPairedFile(dir / "TUNE.MID"), dir / "tune.mid");
  EXPECT_EQ(FindPairedFile(dir / "Other.MID"), dir / "Other.MID");

  EXPECT_TRUE(ExactFileExists(dir / "SONG.mid"));
  EXPECT_FALSE(ExactFileExists(dir / "Song.mid"));
  EXPECT_FALSE(ExactFileExists(dir.path()));
  EXPECT_TRUE(IsMidiFileName("a/b.tvx/Song.MiD"));
  EXPECT_FALSE(IsMidiFileName("a/b.mid/Song.tvx"));
  EXPECT_FALSE(IsMidiFileName("mid"));
}

}  // namespace
}  // namespace tessavar
