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

// Every code point goes out and comes back as one whole sequence; what
// cannot be text is refused or replaced.
TEST(Utf8Test, EncodesDecodesAndCutsWholeCharacters) {
  for (char32_t code : {0x41u, 0xE9u, 0x266Au, 0x1F3B5u, 0x10FFFFu}) {
    std::string bytes;
    AppendUtf8(code, bytes);
    EXPECT_EQ(Utf8SequenceLength(bytes + "z"), bytes.size())
        << static_cast<unsigned>(code);
  }
  std::string replaced;
  AppendUtf8(0xD800, replaced);
  AppendUtf8(0x110000, replaced);
  EXPECT_EQ(replaced, "\uFFFD\uFFFD");
  for (const char* broken : {"\x80", "\xc0\xaf", "\xe2\x99", "\xed\xa0\x80",
                             "\xf4\x90\x80\x80", ""}) {
    EXPECT_EQ(Utf8SequenceLength(broken), 0u) << broken;
  }
  EXPECT_EQ(Utf8CutBefore("ab\u266A", 4), 2u);
  EXPECT_EQ(Utf8CutBefore("ab\u266A", 5), 5u);
  EXPECT_EQ(Utf8CutBefore("abc", 2), 2u);
}

}  // namespace
}  // namespace tessavar
