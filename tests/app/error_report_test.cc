#include "app/error_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>

#include "support/scripted_error_reporter.h"

namespace tessavar {
namespace {

using ::testing::ElementsAre;
using testing::ScriptedErrorReporter;

TEST(ErrorMessageTest, FileAndDiskErrorsShowJustTheirText) {
  EXPECT_EQ(ErrorMessage(kErrDiskFull), "Disk full");
  EXPECT_EQ(ErrorMessage(kErrFileNotFound), "File not found");
  EXPECT_EQ(ErrorMessage(kErrPathNotFound), "Path not found");
  EXPECT_EQ(ErrorMessage(kErrPermissionDenied), ErrorDescription(70));
}

TEST(ErrorMessageTest, OtherErrorsShowTheirNumber) {
  EXPECT_EQ(ErrorMessage(5), "Error #5: " + ErrorDescription(5));
  EXPECT_EQ(ErrorMessage(kErrOverflow), "Error #6: Overflow");
  // The plain range is 53 to 76 inclusive.
  EXPECT_EQ(ErrorMessage(52), "Error #52: " + ErrorDescription(52));
  EXPECT_EQ(ErrorMessage(77), "Error #77: " + ErrorDescription(77));
  EXPECT_EQ(ErrorMessage(32755).rfind("Error #32755: ", 0), 0u);
}

TEST(ErrorMessageTest, EveryClassicNumberHasItsOwnText) {
  const int numbers[] = {5, 6, 53, 57, 61, 62, 70, 75, 76};
  for (int a : numbers) {
    EXPECT_FALSE(ErrorDescription(a).empty());
    for (int b : numbers) {
      if (a != b) {
        EXPECT_NE(ErrorDescription(a), ErrorDescription(b));
      }
    }
  }
}

TEST(RunTimeErrorTest, CarriesNumberAndMessage) {
  RunTimeError error(kErrDiskFull);
  EXPECT_EQ(error.number(), 61);
  EXPECT_STREQ(error.what(), "Disk full");
}

TEST(ErrorNumberTest, MapsSystemErrorsOntoClassicNumbers) {
  EXPECT_EQ(ErrorNumberFromErrno(ENOENT), kErrFileNotFound);
  EXPECT_EQ(ErrorNumberFromErrno(ENOSPC), kErrDiskFull);
  EXPECT_EQ(ErrorNumberFromErrno(EACCES), kErrPermissionDenied);
  EXPECT_EQ(ErrorNumberFromErrno(EROFS), kErrPermissionDenied);
  EXPECT_EQ(ErrorNumberFromErrno(ENOTDIR), kErrPathNotFound);
  EXPECT_EQ(ErrorNumberFromErrno(EIO), kErrDeviceIo);
  EXPECT_EQ(ErrorNumberFromErrno(EISDIR), kErrPathFileAccess);
}

TEST(ErrorHandlerTest, RetryClearsTheCodeAndCancelKeepsTheNumber) {
  ScriptedErrorReporter reporter({ErrorChoice::kRetry, ErrorChoice::kCancel});
  int code = 99;
  ErrorHandler(code, kErrDiskFull, reporter);
  EXPECT_EQ(code, 0);
  ErrorHandler(code, 5, reporter);
  EXPECT_EQ(code, 5);
  EXPECT_THAT(reporter.messages,
              ElementsAre("Disk full", "Error #5: " + ErrorDescription(5)));
}

}  // namespace
}  // namespace tessavar
