#include "base/program_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;

TEST(ProgramFileTest, SiblingsLieBesideTheRunningProgram) {
  const Result<std::string> own = OwnProgramPath();
  ASSERT_TRUE(own.ok()) << own.status().LineText();
  EXPECT_TRUE(fs::equivalent(own.value(), "/proc/self/exe"));
  const Result<std::string> sibling = SiblingProgramPath("tessavar-render");
  ASSERT_TRUE(sibling.ok());
  EXPECT_EQ(fs::path(sibling.value()),
            fs::path(own.value()).parent_path() / "tessavar-render");
}

// An installed tree keeps its helpers in libexec/tessavar, the build tree
// beside the programs; either is found from the program's own path.
TEST(ProgramFileTest, InstalledHelpersLieUnderLibexec) {
  testing::TempDir prefix;
  const std::string program = prefix / "bin/tessavar-cli";
  EXPECT_EQ(SiblingProgramPathFor(program, "tessavar-roll"),
            prefix / "bin/tessavar-roll");
  fs::create_directories(prefix / "libexec/tessavar");
  EXPECT_EQ(SiblingProgramPathFor(program, "tessavar-roll"),
            prefix / "libexec/tessavar/tessavar-roll");
}

}  // namespace
}  // namespace tessavar
