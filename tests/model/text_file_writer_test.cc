#include "model/text_file_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::ScriptedErrorReporter;
using testing::TempDir;

TEST(TextFileTest, WritingRetriesAndLowerCasesTheName) {
  TempDir dir;
  ScriptedErrorReporter reporter({ErrorChoice::kRetry});
  // The first attempt fails because the directory is missing; Retry then
  // finds it created.
  int attempts = 0;
  bool done = RunWithRetry(reporter, [&] {
                if (++attempts == 1) throw RunTimeError(kErrPathNotFound);
              }).ok();
  EXPECT_TRUE(done);
  EXPECT_EQ(attempts, 2);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0], "Path not found");

  EXPECT_TRUE(WriteTextFile(dir / "BASS.ORC", "x\r\n", reporter));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"bass.orc"});

  ScriptedErrorReporter canceling;
  EXPECT_FALSE(WriteTextFile(dir / "nodir/x.orc", "x", canceling));
  EXPECT_EQ(canceling.messages.size(), 1u);
}

}  // namespace
}  // namespace tessavar
