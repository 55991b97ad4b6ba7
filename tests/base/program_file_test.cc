#include "base/program_file.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tessavar {
namespace {

TEST(ProgramFileTest, SiblingsLieBesideTheRunningProgram) {
  const Result<std::string> own = OwnProgramPath();
  ASSERT_TRUE(own.ok()) << own.status().LineText();
  EXPECT_TRUE(std::filesystem::equivalent(own.value(), "/proc/self/exe"));
  const Result<std::string> sibling = SiblingProgramPath("tessavar-render");
  ASSERT_TRUE(sibling.ok());
  EXPECT_EQ(
      std::filesystem::path(sibling.value()),
      std::filesystem::path(own.value()).parent_path() / "tessavar-render");
}

}  // namespace
}  // namespace tessavar
