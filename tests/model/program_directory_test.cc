#include "model/program_directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/status.h"
#include "support/temp_dir.h"

namespace tessavar::testing {
namespace {

namespace fs = std::filesystem;

const std::string kFactory = TESSAVAR_SOURCE_DIR "/share";

TEST(ProgramDirectoryTest, HomeVariableWinsOverTheUsersFolder) {
  EXPECT_EQ(ChooseProgramDirectory("/data/tv", "/home/ann"), "/data/tv");
  EXPECT_EQ(ChooseProgramDirectory("", "/home/ann"),
            "/home/ann/TessavarComposer");
  EXPECT_EQ(ChooseProgramDirectory("", "/home/ann/"),
            "/home/ann/TessavarComposer");
  EXPECT_EQ(ChooseProgramDirectory("", ""), "");
}

TEST(ProgramDirectoryTest, FirstUseCreatesTheFolderWithLowerCaseFactoryFiles) {
  TempDir home;
  const std::string dir = home / "nested/TessavarComposer";
  PrepareProgramDirectory(dir, kFactory);
  EXPECT_EQ(ReadWholeFile(dir + "/default.tvx"),
            ReadWholeFile(kFactory + "/DEFAULT.TVX"));
  EXPECT_EQ(ReadWholeFile(dir + "/thelp20.rtf"),
            ReadWholeFile(kFactory + "/THELP20.RTF"));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"default.tvx", "thelp20.rtf"}));
}

TEST(ProgramDirectoryTest, TheUsersFilesAreKeptWhateverTheirLetterCase) {
  TempDir dir;
  dir.Write("Default.TVX", "mine");
  dir.Write("thelp20.rtf", "my notes");
  ::chmod((dir / "thelp20.rtf").c_str(), 0600);
  PrepareProgramDirectory(dir.path(), kFactory);
  EXPECT_EQ(dir.Entries(),
            (std::vector<std::string>{"Default.TVX", "thelp20.rtf"}));
  EXPECT_EQ(dir.Read("Default.TVX"), "mine");
  EXPECT_EQ(dir.Read("thelp20.rtf"), "my notes");
  EXPECT_EQ(fs::status(dir / "thelp20.rtf").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST(ProgramDirectoryTest, AFileInTheWayOfTheFolderIsAnError) {
  TempDir home;
  home.Write("TessavarComposer", "not a folder");
  EXPECT_THROW(PrepareProgramDirectory(home / "TessavarComposer", kFactory),
               RunTimeError);
  EXPECT_EQ(home.Read("TessavarComposer"), "not a folder");
}

}  // namespace
}  // namespace tessavar::testing
