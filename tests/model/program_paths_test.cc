#include "model/program_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tessavar {
namespace {

TEST(ProgramPathsTest, AppendsOneSlashToTheDirectory) {
  EXPECT_EQ(ProgramPaths::FromDirectory("/home/ann/music").program_directory,
            "/home/ann/music/");
  EXPECT_EQ(ProgramPaths::FromDirectory("/home/ann/music/").program_directory,
            "/home/ann/music/");
  EXPECT_EQ(ProgramPaths::FromDirectory("/").program_directory, "/");
  EXPECT_EQ(ProgramPaths::FromDirectory("relative").program_directory,
            "relative/");
}

TEST(ProgramPathsTest, DerivesTheFixedFilesFromTheDirectory) {
  ProgramPaths paths = ProgramPaths::FromDirectory("/opt/tv");
  EXPECT_EQ(paths.default_composition, "/opt/tv/DEFAULT.TVX");
  EXPECT_EQ(paths.default_midi, "/opt/tv/DEFAULT.MID");
  EXPECT_EQ(paths.working_midi, "/opt/tv/TVX.MID");
  EXPECT_EQ(paths.help_file, "/opt/tv/THELP20.RTF");
  EXPECT_EQ(paths.settings_file, "/opt/tv/tvx.ini");

  ProgramPaths root = ProgramPaths::FromDirectory("/");
  EXPECT_EQ(root.working_midi, "/TVX.MID");
  EXPECT_EQ(root.settings_file, "/tvx.ini");
}

TEST(ProgramPathsTest, AnEmptyDirectoryAddressesTheCurrentDirectory) {
  ProgramPaths paths = ProgramPaths::FromDirectory("");
  EXPECT_EQ(paths.program_directory, "");
  EXPECT_EQ(paths.default_composition, "DEFAULT.TVX");
  EXPECT_EQ(paths.working_midi, "TVX.MID");
  EXPECT_EQ(paths.settings_file, "tvx.ini");
}

TEST(ShareDirectoryTest, LiesBesideTheProgramsDirectory) {
  EXPECT_EQ(ShareDirectoryFor("/usr/local/bin/tessavar-cli"),
            "/usr/local/share/tessavar");
  EXPECT_EQ(ShareDirectoryFor("/opt/tv/bin/../bin/tessavar"),
            "/opt/tv/share/tessavar");
  EXPECT_EQ(ShareDirectoryFor("/tessavar"), "/share/tessavar");
}

#ifdef TESSAVAR_CLI_PATH
TEST(ShareDirectoryTest, TheBuiltProgramFindsTheFactoryFiles) {
  const std::filesystem::path share = ShareDirectoryFor(TESSAVAR_CLI_PATH);
  EXPECT_TRUE(std::filesystem::is_regular_file(share / kDefaultCompositionName))
      << share;
  EXPECT_TRUE(std::filesystem::is_regular_file(share / kHelpFileName)) << share;
}
#endif

TEST(ShareDirectoryTest, TheRunningProgramKnowsWhereItIs) {
  const std::string share = ShareDirectory();
  ASSERT_FALSE(share.empty());
  EXPECT_TRUE(share.ends_with("/share/tessavar")) << share;
}

}  // namespace
}  // namespace tessavar
