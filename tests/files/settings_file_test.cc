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

// Any value other than 0 sets the mark, a negative one too.
TEST(SettingsValuesTest, EveryNonZeroMarkIsOn) {
  EXPECT_EQ(ParseSettings("-1\r\n 0 \r\n-1 \r\n").check_marks,
            (std::vector<bool>{true, false, true}));
  EXPECT_EQ(ParseSettings("-7\r\n-32768\r\n0\r\n").check_marks,
            (std::vector<bool>{true, true, false}));
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

TEST(SettingsValuesTest, PlaybackOutputComesLastAndOlderLayoutsStayValid) {
  SettingsValues values;
  values.check_marks = {true, false, false};
  values.recent = {"/a.tvx"};
  values.midi_output = "Synth A";
  values.audio_driver = "alsa";
  const std::string older =
      " 1 \r\n 0 \r\n 0 \r\n\r\nRecent compositions 1\r\n"
      "/a.tvx\r\n";
  // The older lines come first and unchanged.
  const std::string bytes = SettingsBytes(values);
  EXPECT_EQ(bytes, older + "Playback output 1\r\nSynth A\r\nalsa\r\n");
  SettingsValues read = ParseSettings(bytes);
  EXPECT_EQ(read.recent, values.recent);
  EXPECT_EQ(read.midi_output, "Synth A");
  EXPECT_EQ(read.audio_driver, "alsa");

  // A file of the older layout reads as before, without a playback output.
  read = ParseSettings(older);
  EXPECT_EQ(read.recent, values.recent);
  EXPECT_EQ(read.midi_output, "");

  // Only a driver, no recent list: the list's heading is still written.
  values.recent.clear();
  values.midi_output.clear();
  read = ParseSettings(SettingsBytes(values));
  EXPECT_EQ(read.check_marks, values.check_marks);
  EXPECT_TRUE(read.recent.empty());
  EXPECT_EQ(read.recent_problem, "");
  EXPECT_EQ(read.audio_driver, "alsa");

  // Nothing chosen: the bytes of the three check marks alone.
  values.audio_driver.clear();
  EXPECT_EQ(SettingsBytes(values), " 1 \r\n 0 \r\n 0 \r\n");
}

}  // namespace
}  // namespace tessavar
