#include "base/status.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace tessavar {
namespace {

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
  EXPECT_EQ(ErrorNumberFromErrno(EFBIG), kErrDiskFull);
  EXPECT_EQ(ErrorNumberFromErrno(EACCES), kErrPermissionDenied);
  EXPECT_EQ(ErrorNumberFromErrno(EROFS), kErrPermissionDenied);
  EXPECT_EQ(ErrorNumberFromErrno(ENOTDIR), kErrPathNotFound);
  EXPECT_EQ(ErrorNumberFromErrno(EIO), kErrDeviceIo);
  EXPECT_EQ(ErrorNumberFromErrno(EISDIR), kErrPathFileAccess);
}

TEST(StatusTest, MessageNamesTheFileAndLineBelowTheClassicText) {
  EXPECT_EQ(Status(kErrFileNotFound).Message(), "File not found");
  EXPECT_EQ(Status(kErrFileNotFound, "/a/b.mid").Message(),
            "File not found\n/a/b.mid");
  EXPECT_EQ(Status(kErrInputPastEnd, "s.tvx", 12).Message(),
            "Input past end of file\ns.tvx, line 12");
  EXPECT_EQ(Status(5, "", 0, "Cannot play").Message(), "Cannot play");
  // A status that names its file keeps it.
  EXPECT_EQ(Status(kErrDiskFull, "x").WithPath("y").path(), "x");
  EXPECT_TRUE(Status().WithPath("y").path().empty());
}

}  // namespace
}  // namespace tessavar
