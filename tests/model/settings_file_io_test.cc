#include "model/settings_file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::TempDir;

Options AllOn() {
  Options options;
  options.autoplay = options.autoplay_redo = options.lock_mapped = true;
  return options;
}

TEST(SettingsFileTest, ReadsTheThreeCheckMarks) {
  TempDir dir;
  dir.Write("tvx.ini", " 1 \r\n 0 \r\n 1 \r\n");
  Options options;
  options.autoplay_redo = true;
  LoadSettingsFile(options, dir / "tvx.ini");
  EXPECT_TRUE(options.autoplay);
  EXPECT_FALSE(options.autoplay_redo);
  EXPECT_TRUE(options.lock_mapped);
  EXPECT_EQ(options.soundfont, "");
}

TEST(SettingsFileTest, StopsAtTheFirstUnreadableLine) {
  TempDir dir;
  dir.Write("tvx.ini", " 0 \r\n");
  Options options = AllOn();
  LoadSettingsFile(options, dir / "tvx.ini");
  EXPECT_FALSE(options.autoplay);
  EXPECT_TRUE(options.autoplay_redo);
  EXPECT_TRUE(options.lock_mapped);

  dir.Write("tvx.ini", "0\nyes\n0\n");
  options = AllOn();
  options.soundfont = "/kept.sf2";
  LoadSettingsFile(options, dir / "tvx.ini");
  EXPECT_FALSE(options.autoplay);
  EXPECT_TRUE(options.autoplay_redo);
  EXPECT_TRUE(options.lock_mapped);
  EXPECT_EQ(options.soundfont, "/kept.sf2");

  options = AllOn();
  LoadSettingsFile(options, dir / "missing.ini");
  LoadSettingsFile(options, dir.path());
  EXPECT_TRUE(options.autoplay && options.autoplay_redo && options.lock_mapped);
}

TEST(SettingsFileTest, WritesNumberLinesAndTheSoundFontOnlyWhenChosen) {
  TempDir dir;
  Options options;
  options.autoplay = true;
  ASSERT_TRUE(SaveSettingsFile(options, dir / "tvx.ini").ok());
  EXPECT_EQ(dir.Read("tvx.ini"), " 1 \r\n 0 \r\n 0 \r\n");

  options.soundfont = "/usr/share/sounds/sf2/My Font, v2.sf2";
  ASSERT_TRUE(SaveSettingsFile(options, dir / "TVX.INI").ok());
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"tvx.ini"});
  EXPECT_EQ(dir.Read("tvx.ini"),
            " 1 \r\n 0 \r\n 0 \r\n/usr/share/sounds/sf2/My Font, v2.sf2\r\n");

  Options read;
  LoadSettingsFile(read, dir / "tvx.ini");
  EXPECT_TRUE(read.autoplay);
  EXPECT_FALSE(read.lock_mapped);
  EXPECT_EQ(read.soundfont, options.soundfont);
}

TEST(SettingsFileTest, AFailedWriteIsOnlyReported) {
  TempDir dir;
  std::filesystem::create_directory(dir / "tvx.ini");
  EXPECT_FALSE(SaveSettingsFile(AllOn(), dir / "tvx.ini").ok());
  EXPECT_FALSE(SaveSettingsFile(AllOn(), dir / "no/such/dir/tvx.ini").ok());
}

TEST(SettingsFileTest, RecentCompositionsFollowTheOlderLines) {
  TempDir dir;
  Options options;
  options.recent_compositions = {"/songs/b.tvx", "/songs/a, 2.tvx"};
  options.midi_output = "Synth A";
  options.audio_driver = "jack";
  ASSERT_TRUE(SaveSettingsFile(options, dir / "tvx.ini").ok());
  const std::string bytes = dir.Read("tvx.ini");
  EXPECT_EQ(bytes.substr(0, 17), " 0 \r\n 0 \r\n 0 \r\n\r\n");

  Options read = AllOn();
  read.recent_compositions = {"/stale.tvx"};
  LoadSettingsFile(read, dir / "tvx.ini");
  EXPECT_EQ(read.recent_compositions, options.recent_compositions);
  EXPECT_EQ(read.soundfont, "");
  EXPECT_FALSE(read.autoplay);
  EXPECT_EQ(read.recent_problem, "");
  EXPECT_EQ(read.midi_output, "Synth A");
  EXPECT_EQ(read.audio_driver, "jack");

  // Older files without the list stay valid; an unknown list is left out.
  for (const char* old :
       {" 1 \r\n 1 \r\n 1 \r\n", " 1 \r\n 1 \r\n 1 \r\n/f.sf2\r\n"}) {
    dir.Write("tvx.ini", old);
    LoadSettingsFile(read, dir / "tvx.ini");
    EXPECT_TRUE(read.recent_compositions.empty());
    EXPECT_EQ(read.recent_problem, "");
    EXPECT_EQ(read.midi_output, "");
    EXPECT_TRUE(read.lock_mapped);
  }
  for (const char* unusable : {"Recent compositions 2", "something else"}) {
    dir.Write("tvx.ini", std::string(" 1 \r\n 1 \r\n 1 \r\n\r\n") + unusable +
                             "\r\n/a.tvx\r\n");
    LoadSettingsFile(read, dir / "tvx.ini");
    EXPECT_TRUE(read.recent_compositions.empty()) << unusable;
    EXPECT_NE(read.recent_problem, "") << unusable;
    EXPECT_TRUE(read.autoplay);
  }
}

TEST(SettingsKeeperTest, WritesOnlyChangesAndOnlyOnceStarted) {
  TempDir dir;
  const std::string path = dir / "tvx.ini";
  SettingsKeeper keeper;
  Options options;
  options.autoplay = true;
  keeper.SaveIfChanged(options, path);
  EXPECT_FALSE(dir.Exists("tvx.ini"));  // not started: the file is unknown

  keeper.Start(Options());
  options.recent_compositions = {"/songs/a.tvx"};
  keeper.SaveIfChanged(options, path);
  Options read;
  LoadSettingsFile(read, path);
  EXPECT_TRUE(read.autoplay);
  EXPECT_EQ(read.recent_compositions, options.recent_compositions);

  std::filesystem::remove(path);
  keeper.SaveIfChanged(options, path);
  EXPECT_FALSE(dir.Exists("tvx.ini"));  // nothing changed since
  options.lock_mapped = true;
  keeper.SaveIfChanged(options, path);
  LoadSettingsFile(read, path);
  EXPECT_TRUE(read.lock_mapped);
}

}  // namespace
}  // namespace tessavar
