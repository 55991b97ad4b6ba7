#include "base/terminal_text.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "base/status.h"

namespace tessavar {
namespace {

TEST(TerminalTextTest, ControlsAndBrokenUtf8AreEscapedPrintableTextKept) {
  EXPECT_EQ(TerminalText("plain Zürich ♪ 🎵"), "plain Zürich ♪ 🎵");
  EXPECT_EQ(TerminalText("\x1b[31mred\a\r\t\x7f"),
            "\\x1b[31mred\\x07\\x0d\\x09\\x7f");
  EXPECT_EQ(TerminalText("a\\x1b"), "a\\\\x1b");  // never mistaken for one
  // C1 controls (CSI), a lone continuation byte, a cut sequence, an
  // overlong form and an encoded surrogate.
  EXPECT_EQ(TerminalText("\xc2\x9b"
                         "2J"),
            "\\xc2\\x9b2J");
  EXPECT_EQ(TerminalText("\x80z"), "\\x80z");
  EXPECT_EQ(TerminalText("\xe2\x99"), "\\xe2\\x99");
  EXPECT_EQ(TerminalText("\xc0\xaf"), "\\xc0\\xaf");
  EXPECT_EQ(TerminalText("\xed\xa0\x80"), "\\xed\\xa0\\x80");
  EXPECT_EQ(TerminalText(std::string("a\0b", 3)), "a\\x00b");
  EXPECT_EQ(TerminalLines("one\x1b\ntwo\n"), "one\\x1b\ntwo\n");
}

TEST(ErrnoStatusTest, ClassicNumbersWithTheCauseTheirTextHides) {
  struct Case {
    int errno_value, number;
    std::string message;
  };
  for (const Case& c : {
           Case{ENOENT, kErrFileNotFound, "File not found"},
           Case{EACCES, kErrPermissionDenied, "Permission denied"},
           Case{EROFS, kErrPermissionDenied,
                "Permission denied (read-only file system)"},
           Case{ENAMETOOLONG, kErrPathFileAccess,
                "Path/File access error (the name is too long)"},
           Case{ENOTDIR, kErrPathNotFound,
                "Path not found (a part of the path is not a folder)"},
           Case{ENOSPC, kErrDiskFull, "Disk full"},
       }) {
    const Status status = ErrnoStatus(c.errno_value, "dir/x.mid");
    EXPECT_EQ(status.number(), c.number) << c.message;
    EXPECT_EQ(status.LineText(), "dir/x.mid: " + c.message);
    EXPECT_EQ(status.Message(), c.message + "\ndir/x.mid");
  }
  EXPECT_EQ(Status(kErrInvalidCall, "a.tvx", 3, "bad").LineText(),
            "a.tvx, line 3: bad");
  EXPECT_EQ(Status(kErrDiskFull).LineText(), "Disk full");
}

}  // namespace
}  // namespace tessavar
