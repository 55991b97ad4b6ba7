#include "base/file_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "base/status.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::TempDir;

int ErrorNumberOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RunTimeError& error) {
    return error.number();
  }
  return 0;
}

TEST(LowerCaseFileNameTest, LowersOnlyTheLastComponent) {
  EXPECT_EQ(LowerCaseFileName("/Music/Songs/MY SONG.MID"),
            "/Music/Songs/my song.mid");
  EXPECT_EQ(LowerCaseFileName("TVX.MID"), "tvx.mid");
  EXPECT_EQ(LowerCaseFileName("Dir.A/"), "Dir.A/");
  EXPECT_EQ(LowerCaseFileName("/A/B/tvx.mid"), "/A/B/tvx.mid");
  EXPECT_EQ(LowerCaseFileName(""), "");
}

TEST(FindExistingPathTest, MatchesTheFileNameIgnoringCase) {
  TempDir dir;
  WriteFileAtomically(dir / "song.mid", "notes");
  EXPECT_EQ(FindExistingPath(dir / "SONG.MID"), dir / "song.mid");
  EXPECT_EQ(FindExistingPath(dir / "Song.Mid"), dir / "song.mid");
  EXPECT_EQ(ReadWholeFile(dir / "SONG.MID"), "notes");
  EXPECT_TRUE(FileExists(dir / "SONG.MID"));
}

TEST(FindExistingPathTest, PrefersTheExactNameAndLeavesMissingPathsAlone) {
  TempDir dir;
  WriteFileAtomically(dir / "Song.mid", "upper");
  WriteFileAtomically(dir / "song.mid", "lower");
  EXPECT_EQ(ReadWholeFile(dir / "song.mid"), "lower");
  EXPECT_EQ(ReadWholeFile(dir / "Song.mid"), "upper");
  EXPECT_EQ(FindExistingPath(dir / "other.mid"), dir / "other.mid");
  EXPECT_FALSE(FileExists(dir / "other.mid"));
  EXPECT_EQ(ErrorNumberOf([&] { ReadWholeFile(dir / "other.mid"); }),
            kErrFileNotFound);
}

TEST(FindExistingPathTest, KeepsTheDirectoryPartAsGiven) {
  TempDir dir;
  fs::create_directory(dir / "sub");
  WriteFileAtomically(dir / "sub/a.txt", "x");
  EXPECT_EQ(FindExistingPath(dir / "SUB/A.TXT"), dir / "SUB/A.TXT");
  EXPECT_EQ(FindExistingPath(dir / "sub/A.TXT"), dir / "sub/a.txt");
}

TEST(FindExistingPathTest, ABareNameIsLookedUpInTheCurrentDirectory) {
  TempDir dir;
  WriteFileAtomically(dir / "tvx.ini", "1");
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_EQ(FindExistingPath("TVX.INI"), "tvx.ini");
  fs::current_path(previous);
}

TEST(ProgramFileOnDiskTest, ProgramFilesAreFoundInTheirLowerCaseForm) {
  TempDir dir;
  dir.Write("tvx.mid", "lower");
  EXPECT_EQ(ProgramFileOnDisk(dir / "TVX.MID"), dir / "tvx.mid");
  dir.Write("Mixed.Mid", "mixed");
  EXPECT_EQ(ProgramFileOnDisk(dir / "MIXED.MID"), dir / "Mixed.Mid");
  EXPECT_EQ(ProgramFileOnDisk(dir / "NONE.MID"), dir / "NONE.MID");
}

TEST(ReadWholeFileTest, ADirectoryIsAnAccessError) {
  TempDir dir;
  EXPECT_EQ(ErrorNumberOf([&] { ReadWholeFile(dir.path()); }),
            kErrPathFileAccess);
}

TEST(ReadWholeFileTest, RefusesAFileAboveTheLimitBeforeReadingIt) {
  TempDir dir;
  // Sparse: the size costs no disk and no memory unless it is read.
  dir.Write("huge.mid", "");
  fs::resize_file(dir / "huge.mid", uint64_t{64} << 30);
  try {
    ReadWholeFile(dir / "huge.mid");
    ADD_FAILURE() << "a 64 GB file was read";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), kErrOverflow);
    EXPECT_EQ(error.status().path(), dir / "huge.mid");
    EXPECT_THAT(error.status().detail(),
                ::testing::HasSubstr("65536 MB; files of at most 256 MB"));
  }
  dir.Write("small.mid", "12345");
  EXPECT_EQ(ReadWholeFileUpTo(dir / "small.mid", 5), "12345");
  EXPECT_EQ(ErrorNumberOf([&] { ReadWholeFileUpTo(dir / "small.mid", 4); }),
            kErrOverflow);
  EXPECT_EQ(ReadFilePrefix(dir / "huge.mid", 3), std::string(3, '\0'));
}

TEST(WriteFileAtomicallyTest, CreatesAndReplacesWithoutLeavingTemporaries) {
  TempDir dir;
  WriteFileAtomically(dir / "a.tvx", std::string("one\0two", 7));
  EXPECT_EQ(ReadWholeFile(dir / "a.tvx"), std::string("one\0two", 7));
  WriteFileAtomically(dir / "a.tvx", "three");
  EXPECT_EQ(ReadWholeFile(dir / "a.tvx"), "three");
  EXPECT_THAT(dir.Entries(), ElementsAre("a.tvx"));
  EXPECT_EQ(fs::status(dir / "a.tvx").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write |
                fs::perms::group_read | fs::perms::others_read);
}

TEST(WriteFileAtomicallyTest, CreatingInAMissingDirectoryIsPathNotFound) {
  TempDir dir;
  EXPECT_EQ(ErrorNumberOf([&] { WriteFileAtomically(dir / "no/a.tvx", "x"); }),
            kErrPathNotFound);
  WriteFileAtomically(dir / "file", "");
  EXPECT_EQ(
      ErrorNumberOf([&] { WriteFileAtomically(dir / "file/a.tvx", "x"); }),
      kErrPathNotFound);
  EXPECT_EQ(ErrorNumberOf([&] { WriteFileAtomically("", "x"); }),
            kErrPathNotFound);
  EXPECT_THAT(dir.Entries(), ElementsAre("file"));
}

// A write that fails half-way (the file-size limit stops it even for root)
// keeps the old file and removes the temporary one.
TEST(WriteFileAtomicallyTest, AFailedWriteLeavesTheOldFile) {
  TempDir dir;
  WriteFileAtomically(dir / "a.tvx", "old contents");

  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  sighandler_t saved_handler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const int error = ErrorNumberOf(
      [&] { WriteFileAtomically(dir / "a.tvx", std::string(5000, 'n')); });
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, saved_handler);

  EXPECT_NE(error, 0);
  EXPECT_EQ(ReadWholeFile(dir / "a.tvx"), "old contents");
  EXPECT_THAT(dir.Entries(), ElementsAre("a.tvx"));
}

TEST(WriteFileAtomicallyTest, ADirectoryInTheWayIsNotReplaced) {
  TempDir dir;
  fs::create_directory(dir / "a.tvx");
  EXPECT_EQ(ErrorNumberOf([&] { WriteFileAtomically(dir / "a.tvx", "x"); }),
            kErrPathFileAccess);
  EXPECT_TRUE(fs::is_directory(dir / "a.tvx"));
  EXPECT_THAT(dir.Entries(), ElementsAre("a.tvx"));
}

TEST(CopyFileAtomicallyTest, FindsTheSourceIgnoringCase) {
  TempDir dir;
  WriteFileAtomically(dir / "tvx.mid", "MThd");
  CopyFileAtomically(dir / "TVX.MID", dir / "copy.mid");
  EXPECT_EQ(ReadWholeFile(dir / "copy.mid"), "MThd");
  EXPECT_EQ(ErrorNumberOf([&] {
              CopyFileAtomically(dir / "gone.mid", dir / "copy.mid");
            }),
            kErrFileNotFound);
  EXPECT_EQ(ReadWholeFile(dir / "copy.mid"), "MThd");
}

TEST(CheckForNewDirectoryTest, CreatesAMissingDirectoryOneLevelDeep) {
  TempDir dir;
  CreateParentDirectory(dir / "NEW/SONG.TVX");
  EXPECT_TRUE(fs::is_directory(dir / "NEW"));
  EXPECT_FALSE(fs::exists(dir / "NEW/SONG.TVX"));
}

TEST(CheckForNewDirectoryTest, NeverCreatesParentsAndNeverReports) {
  TempDir dir;
  EXPECT_NO_THROW(CreateParentDirectory(dir / "A/B/SONG.TVX"));
  EXPECT_TRUE(dir.Entries().empty());
  WriteFileAtomically(dir / "plain", "");
  EXPECT_NO_THROW(CreateParentDirectory(dir / "plain/SONG.TVX"));
  EXPECT_THAT(dir.Entries(), ElementsAre("plain"));
}

TEST(CheckForNewDirectoryTest, LeavesExistingDirectoriesAlone) {
  TempDir dir;
  fs::create_directory(dir / "empty");
  EXPECT_NO_THROW(CreateParentDirectory(dir / "empty/SONG.TVX"));
  EXPECT_TRUE(fs::is_directory(dir / "empty"));
  WriteFileAtomically(dir / "keep", "k");
  CreateParentDirectory(dir / "SONG.TVX");
  EXPECT_EQ(ReadWholeFile(dir / "keep"), "k");
  EXPECT_THAT(dir.Entries(), ElementsAre("empty", "keep"));
}

TEST(CheckForNewDirectoryTest, APathWithoutSlashDoesNothing) {
  TempDir dir;
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_NO_THROW(CreateParentDirectory("SONG.TVX"));
  EXPECT_NO_THROW(CreateParentDirectory(""));
  fs::current_path(previous);
  EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
}  // namespace tessavar
