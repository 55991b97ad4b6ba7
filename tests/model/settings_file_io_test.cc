#include "model/settings_file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_directory.h"

namespace tessavar {
namespace {

using testing::TestDirectory;

Options AllOn() {
  Options options;
  options.autoplay = options.autoplay_redo = options.lock_mapped = true;
  return options;
}

TEST(SettingsFileTest, ReadsTheThreeCheckMarks) {
  TestDirectory dir;
  dir.Write("tvx.ini", " 1 \r\n 0 \r\n 1 \r\n");
  Options options;
  options.autoplay_redo = true;
  LoadIniFile(options, dir / "tvx.ini");
  EXPECT_TRUE(options.autoplay);
  EXPECT_FALSE(options.autoplay_redo);
  EXPECT_TRUE(options.lock_mapped);
  EXPECT_EQ(options.soundfont, "");
}

TEST(SettingsFileTest, StopsAtTheFirstUnreadableLine) {
  TestDirectory dir;
  dir.Write("tvx.ini", " 0 \r\n");
  Options options = AllOn();
  LoadIniFile(options, dir / "tvx.ini");
  EXPECT_FALSE(options.autoplay);
  EXPECT_TRUE(options.autoplay_redo);
  EXPECT_TRUE(options.lock_mapped);

  dir.Write("tvx.ini", "0\nyes\n0\n");
  options = AllOn();
  options.soundfont = "/kept.sf2";
  LoadIniFile(options, dir / "tvx.ini");
  EXPECT_FALSE(options.autoplay);
  EXPECT_TRUE(options.autoplay_redo);
  EXPECT_TRUE(options.lock_mapped);
  EXPECT_EQ(options.soundfont, "/kept.sf2");

  options = AllOn();
  LoadIniFile(options, dir / "missing.ini");
  LoadIniFile(options, dir.path());
  EXPECT_TRUE(options.autoplay && options.autoplay_redo && options.lock_mapped);
}

TEST(SettingsFileTest, WritesNumberLinesAndTheSoundFontOnlyWhenChosen) {
  TestDirectory dir;
  Options options;
  options.autoplay = true;
  ASSERT_TRUE(SaveIniFile(options, dir / "tvx.ini"));
  EXPECT_EQ(dir.Read("tvx.ini"), " 1 \r\n 0 \r\n 0 \r\n");

  options.soundfont = "/usr/share/sounds/sf2/My Font, v2.sf2";
  ASSERT_TRUE(SaveIniFile(options, dir / "TVX.INI"));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"tvx.ini"});
  EXPECT_EQ(dir.Read("tvx.ini"),
            " 1 \r\n 0 \r\n 0 \r\n/usr/share/sounds/sf2/My Font, v2.sf2\r\n");

  Options read;
  LoadIniFile(read, dir / "tvx.ini");
  EXPECT_TRUE(read.autoplay);
  EXPECT_FALSE(read.lock_mapped);
  EXPECT_EQ(read.soundfont, options.soundfont);
}

TEST(SettingsFileTest, AFailedWriteIsOnlyReported) {
  TestDirectory dir;
  std::filesystem::create_directory(dir / "tvx.ini");
  EXPECT_FALSE(SaveIniFile(AllOn(), dir / "tvx.ini"));
  EXPECT_FALSE(SaveIniFile(AllOn(), dir / "no/such/dir/tvx.ini"));
}

}  // namespace
}  // namespace tessavar
