#include "model/dialog_checks.h"

#include <gtest/gtest.h>

#include <string>

namespace tessavar {
namespace {

ChannelBoxTexts DefaultBoxes() {
  ChannelBoxTexts boxes;
  for (int i = 0; i < 16; ++i) boxes[i] = std::to_string(i + 1);
  return boxes;
}

TEST(CheckChannelBoxesTest, AcceptsEveryChannelFromOneToSixteen) {
  ChannelCheck check = CheckChannelBoxes(DefaultBoxes());
  EXPECT_TRUE(check.accepted);
  EXPECT_EQ(check.bad_box, -1);
  EXPECT_TRUE(check.message.empty());
}

TEST(CheckChannelBoxesTest, RefusesOutOfRangeEmptyAndLetters) {
  for (const char* text :
       {"0", "17", "", "abc", "-1", "16.6", "0.5", "99999999999999999999"}) {
    ChannelBoxTexts boxes = DefaultBoxes();
    boxes[6] = text;
    ChannelCheck check = CheckChannelBoxes(boxes);
    EXPECT_FALSE(check.accepted) << '"' << text << '"';
    EXPECT_EQ(check.bad_box, 6) << '"' << text << '"';
    EXPECT_EQ(check.message, "MIDI channel number must be 1 to 16.");
    EXPECT_EQ(check.title, "MIDI Map Error");
  }
}

TEST(CheckChannelBoxesTest, StopsAtTheFirstBadBox) {
  ChannelBoxTexts boxes = DefaultBoxes();
  boxes[3] = "0";
  boxes[1] = "x";
  EXPECT_EQ(CheckChannelBoxes(boxes).bad_box, 1);
}

TEST(CheckChannelBoxesTest, RoundsHalvesToEven) {
  // 0.5 rounds to 0 (refused), 1.5 to 2, 16.4 to 16, 15.5 to 16, 16.5 to 16.
  EXPECT_EQ(ChannelFromText("0.5"), 0);
  EXPECT_EQ(ChannelFromText("1.5"), 2);
  EXPECT_EQ(ChannelFromText("2.5"), 2);
  EXPECT_EQ(ChannelFromText("16.4"), 16);
  EXPECT_EQ(ChannelFromText("16.5"), 16);
  EXPECT_EQ(ChannelFromText("16.51"), 17);
  ChannelBoxTexts boxes = DefaultBoxes();
  boxes[0] = "0.51";
  boxes[15] = "16.5";
  EXPECT_TRUE(CheckChannelBoxes(boxes).accepted);
}

TEST(CheckChannelBoxesTest, SharedChannelsAreAccepted) {
  ChannelBoxTexts boxes;
  boxes.fill("10");
  EXPECT_TRUE(CheckChannelBoxes(boxes).accepted);
}

TEST(ChannelMapFromTextsTest, StoresRoundedWholeChannels) {
  ChannelBoxTexts boxes = DefaultBoxes();
  boxes[2] = "4.6";
  boxes[5] = " 12 ";
  ChannelMap map = ChannelMapFromTexts(boxes);
  EXPECT_EQ(map[0], 1);
  EXPECT_EQ(map[2], 5);
  EXPECT_EQ(map[5], 12);
  EXPECT_EQ(map[15], 16);
}

TEST(CheckCompositionInfoTest, AcceptsUpTo127Characters) {
  CompositionInfoCheck result = CheckCompositionInfo(std::string(127, 'a'));
  EXPECT_TRUE(result.accepted);
  EXPECT_EQ(result.text.size(), 127u);
  EXPECT_TRUE(result.message.empty());
  EXPECT_TRUE(CheckCompositionInfo("").accepted);
}

TEST(CheckCompositionInfoTest, RefusesMoreThan127Characters) {
  CompositionInfoCheck result = CheckCompositionInfo(std::string(128, 'a'));
  EXPECT_FALSE(result.accepted);
  EXPECT_EQ(result.message, "Composition info cannot exceed 127 bytes.");
  EXPECT_EQ(result.text.size(), 128u);
}

TEST(CheckCompositionInfoTest, TrailingSpacesAreRemovedBeforeCounting) {
  CompositionInfoCheck result =
      CheckCompositionInfo(std::string(127, 'b') + "     ");
  EXPECT_TRUE(result.accepted);
  EXPECT_EQ(result.text, std::string(127, 'b'));

  EXPECT_EQ(CheckCompositionInfo("  My song  ").text, "  My song");
  EXPECT_EQ(CheckCompositionInfo("      ").text, "");
  // Only spaces are trailing spaces; a tab stays.
  EXPECT_EQ(CheckCompositionInfo("a\t ").text, "a\t");
}

TEST(CheckCompositionInfoTest, CountsStoredBytes) {
  // 64 two-byte characters are 128 bytes: too long for the MIDI field.
  std::string text;
  for (int i = 0; i < 64; ++i) text += "\xC3\xA9";
  EXPECT_FALSE(CheckCompositionInfo(text).accepted);
  EXPECT_TRUE(CheckCompositionInfo(text.substr(0, 126)).accepted);
}

}  // namespace
}  // namespace tessavar
