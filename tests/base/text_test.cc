#include "base/text.h"

#include <gtest/gtest.h>

namespace tessavar {
namespace {

TEST(TrimSpacesTest, RemovesOnlySpacesAroundTheText) {
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("\tx "), "\tx");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(TrimSpaces(""), "");
}

TEST(FileNameStartTest, FindsTheLastPathComponent) {
  EXPECT_EQ(FileNameStart("dir/sub/SONG.MID"), 8u);
  EXPECT_EQ(FileNameStart("SONG.MID"), 0u);
  EXPECT_EQ(FileNameStart("dir/"), 4u);
}

// Only A to Z change, whatever the locale; other bytes, UTF-8 ones among
// them, stay as they are.
TEST(AsciiCaseTest, ChangesOnlyAsciiLetters) {
  EXPECT_EQ(AsciiLower("MIDI Song.MID"), "midi song.mid");
  EXPECT_EQ(AsciiUpper("default.mid"), "DEFAULT.MID");
  EXPECT_EQ(AsciiLower("\xc3\x84@[`{Z"), "\xc3\x84@[`{z");
  EXPECT_EQ(AsciiUpper("\xc3\xa4@[`{a"), "\xc3\xa4@[`{A");
}

}  // namespace
}  // namespace tessavar
