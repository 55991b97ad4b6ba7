#include "model/error_reporter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/status.h"
#include "support/scripted_error_reporter.h"

namespace tessavar {
namespace {

using ::testing::ElementsAre;
using testing::ScriptedErrorReporter;

// Retry is offered for what the user can mend outside the program; an
// error in a file's contents is only shown, with the file and line below.
TEST(RunWithRetryTest, OffersRetryOnlyWhereItCanSucceed) {
  struct Case {
    int number;
    bool retried;
  };
  for (const Case& c :
       {Case{kErrPermissionDenied, true}, Case{kErrPathNotFound, true},
        Case{kErrDiskFull, true}, Case{kErrInputPastEnd, false},
        Case{kErrInvalidCall, false}, Case{kErrOverflow, false}}) {
    ScriptedErrorReporter reporter({ErrorChoice::kRetry});
    int runs = 0;
    Status status = RunWithRetry(reporter, [&] {
      ++runs;
      throw RunTimeError(c.number, "/music/song.tvx", 12);
    });
    EXPECT_EQ(status.number(), c.number);
    EXPECT_EQ(runs, c.retried ? 2 : 1) << c.number;
    EXPECT_EQ(reporter.failures, c.retried ? 0 : 1) << c.number;
    EXPECT_EQ(reporter.messages[0],
              ErrorMessage(c.number) + "\n/music/song.tvx, line 12");
  }
}

TEST(RunWithRetryTest, RetryRunsTheStepAgainAndCancelReturnsTheError) {
  ScriptedErrorReporter reporter({ErrorChoice::kRetry, ErrorChoice::kCancel});
  int runs = 0;
  Status status = RunWithRetry(reporter, [&] {
    ++runs;
    throw RunTimeError(runs == 1 ? kErrDiskFull : 5);
  });
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(status.number(), 5);
  EXPECT_THAT(reporter.messages,
              ElementsAre("Disk full", "Error #5: " + ErrorDescription(5)));
  EXPECT_TRUE(RunWithRetry(reporter, [] {}).ok());
}

}  // namespace
}  // namespace tessavar
