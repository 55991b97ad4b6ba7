#include "files/settings_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessavar {
namespace {

TEST(SettingsValuesTest, ReadsMarksInOrderAndTheSoundFontOnlyAfterAllThree) {
  SettingsValues read = ParseSettings(" 1 \n0\r\n 2.6 \r\n/a b.sf2\r\nmore\n");
  EXPECT_EQ(read.check_marks, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(read.soundfont, "/a b.sf2");

  read = ParseSettings(" 0 \r\nyes\r\n 1 \r\n/a.sf2\r\n");
  EXPECT_EQ(read.check_marks, std::vector<bool>{false});
  EXPECT_EQ(read.soundfont, "");
  EXPECT_TRUE(ParseSettings("").check_marks.empty());
}

TEST(SettingsValuesTest, WritesTheSoundFontLineOnlyWhenItFitsOnOne) {
  SettingsValues values;
  values.check_marks = {true, false, false};
  EXPECT_EQ(SettingsBytes(values), " 1 \r\n 0 \r\n 0 \r\n");
  values.soundfont = "two\nlines.sf2";
  EXPECT_EQ(SettingsBytes(values), " 1 \r\n 0 \r\n 0 \r\n");
  values.soundfont = "/x.sf2";
  EXPECT_EQ(ParseSettings(SettingsBytes(values)).soundfont, "/x.sf2");
}

}  // namespace
}  // namespace tessavar
