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

}  // namespace
}  // namespace tessavar
