#include "base/atomic_file.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

#include "base/batch_writer.h"
#include "base/file_system.h"
#include "base/status.h"
#include "base/temporary_files.h"
#include "support/temp_dir.h"
#include "support/thrown_status.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::TempDir;
using testing::ThrownStatus;

mode_t ModeOf(const std::string& path) {
  struct stat info = {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

TEST(AtomicFileTest, RefusesTargetsThatAreNotRegularFiles) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  fs::create_directory(dir / "sub");
  for (const char* name : {"fifo", "sub"}) {
    Status status = ThrownStatus([&] { WriteFileAtomically(dir / name, "x"); });
    EXPECT_EQ(status.number(), kErrPathFileAccess) << name;
    EXPECT_EQ(status.path(), dir / name);
  }
  Status device = ThrownStatus([] { AtomicFile file("/dev/null"); });
  EXPECT_THAT(device.Message(), HasSubstr("not a regular file"));
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
  EXPECT_THAT(dir.Entries(), ElementsAre("fifo", "sub"));
}

TEST(AtomicFileTest, WritesThroughSymbolicLinksAndKeepsThem) {
  TempDir dir;
  fs::create_directory(dir / "real");
  dir.Write("real/song.mid", "old");
  fs::create_symlink("real/song.mid", dir / "link.mid");
  fs::create_symlink("real/new.mid", dir / "dangling.mid");
  WriteFileAtomically(dir / "link.mid", "new");
  WriteFileAtomically(dir / "dangling.mid", "created");
  EXPECT_TRUE(fs::is_symlink(dir / "link.mid"));
  EXPECT_EQ(dir.Read("real/song.mid"), "new");
  EXPECT_EQ(dir.Read("real/new.mid"), "created");
  EXPECT_THAT(dir.Entries(), ElementsAre("dangling.mid", "link.mid", "real"));
}

TEST(AtomicFileTest, RefusesAnOutputThatIsAnInput) {
  TempDir dir;
  dir.Write("s.tvx", "composition");
  fs::create_symlink("s.tvx", dir / "alias.tvx");
  fs::create_hard_link(dir / "s.tvx", dir / "hard.tvx");
  for (const std::string& output :
       {dir / "s.tvx", dir / "alias.tvx", dir / "hard.tvx",
        dir.path() + "/./sub/../s.tvx"}) {
    Status status = ThrownStatus(
        [&] { WriteFileAtomically(output, "midi", {dir / "s.tvx"}); });
    EXPECT_EQ(status.number(), kErrPathFileAccess) << output;
  }
  // The input named as a link that does not exist yet as output.
  EXPECT_TRUE(IsSameFile(dir / "gone.wav", dir / "./gone.wav"));
  WriteFileAtomically(dir / "s.mid", "midi", {dir / "s.tvx"});
  EXPECT_EQ(dir.Read("s.tvx"), "composition");
}

TEST(AtomicFileTest, KeepsTheModeOfAFileAndCreatesWithTheUmask) {
  TempDir dir;
  dir.Write("private.mid", "old");
  fs::permissions(dir / "private.mid", fs::perms(0600));
  WriteFileAtomically(dir / "private.mid", "new");
  EXPECT_EQ(ModeOf(dir / "private.mid"), 0600u);

  const mode_t saved = ::umask(077);
  WriteFileAtomically(dir / "strict.mid", "x");
  ::umask(027);
  WriteFileAtomically(dir / "group.mid", "x");
  ::umask(saved);
  EXPECT_EQ(ModeOf(dir / "strict.mid"), 0600u);
  EXPECT_EQ(ModeOf(dir / "group.mid"), 0640u);
}

TEST(AtomicFileTest, LongNamesAndFailuresLeaveNoTemporary) {
  TempDir dir;
  const std::string longest(255, 'n');
  WriteFileAtomically(dir / longest, "fits");
  EXPECT_EQ(dir.Read(longest), "fits");
  {
    AtomicFile abandoned(dir / "abandoned.wav");
    abandoned.Write("half");
    EXPECT_EQ(dir.Entries().size(), 2u);
  }
  EXPECT_THAT(dir.Entries(), ElementsAre(longest));
  Status missing = ThrownStatus([&] { AtomicFile file(dir / "no/x.wav"); });
  EXPECT_EQ(missing.number(), kErrPathNotFound);
  EXPECT_EQ(missing.path(), dir / "no/x.wav");
  EXPECT_EQ(TemporaryFiles::Instance().Count(), 0);
}

// A run ended by SIGINT, SIGTERM or SIGHUP removes its temporary file, and a
// registered directory with the files registered in it, and still ends by
// the signal.
TEST(AtomicFileTest, ASignalRemovesTheTemporaryFile) {
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::mkdir((dir / "copies").c_str(), 0700);
      TemporaryFiles::Instance().Add(dir / "copies");
      AtomicFile file(dir / "copies/out.wav");
      file.Write("partial");
      ::raise(signal_number);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number);
    EXPECT_TRUE(dir.Entries().empty()) << dir.Entries().front();
  }
}

// What a SIGKILLed writer left is removed by the next run; a file that a
// living writer still holds, and names of other patterns, are kept.
TEST(AtomicFileTest, StaleTemporariesOfKilledWritersAreRemoved) {
  TempDir dir;
  // Opened first: its own clean-up of the directory finds nothing yet.
  AtomicFile alive(dir / "alive.mid");
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    AtomicFile file(dir / "killed.mid");
    file.Write("partial");
    ::raise(SIGKILL);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  dir.Write(".tessavar-backup", "a person's own file");
  dir.Write("song.mid", "music");
  // Leftovers are judged by age too: make every file older than this run.
  const struct timespec day_ago[2] = {{::time(nullptr) - 86400, 0},
                                      {::time(nullptr) - 86400, 0}};
  for (const std::string& name : dir.Entries()) {
    ::utimensat(AT_FDCWD, (dir / name).c_str(), day_ago, 0);
  }
  // Unlocked but newer than this run: perhaps a writer not yet locked.
  dir.Write(".tessavar-fresh1.tmp", "being made");
  ASSERT_EQ(dir.Entries().size(), 5u);
  EXPECT_EQ(RemoveStaleTemporaries(dir.path()), 1);
  EXPECT_EQ(dir.Entries().size(), 4u);
  EXPECT_EQ(dir.Read("song.mid"), "music");
  alive.Write("done");
  alive.Commit();
  EXPECT_THAT(dir.Entries(),
              ElementsAre(".tessavar-backup", ".tessavar-fresh1.tmp",
                          "alive.mid", "song.mid"));
}

// Makes a file's times a day old: older than this run.
void MakeOld(const std::string& path) {
  const struct timespec day_ago[2] = {{::time(nullptr) - 86400, 0},
                                      {::time(nullptr) - 86400, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), day_ago, 0);
}

// The first file written into a directory removes what killed writers left
// there; the directory is listed once per process, not once per file.
TEST(AtomicFileTest, TheFirstWriteIntoADirectoryRemovesLeftovers) {
  TempDir dir;
  dir.Write(".tessavar-ab12cd.tmp", "left by a killed run");
  MakeOld(dir / ".tessavar-ab12cd.tmp");
  WriteFileAtomically(dir / "one.mid", "1");
  EXPECT_THAT(dir.Entries(), ElementsAre("one.mid"));
  dir.Write(".tessavar-ef34gh.tmp", "left later");
  MakeOld(dir / ".tessavar-ef34gh.tmp");
  WriteFileAtomically(dir / "two.mid", "2");
  EXPECT_THAT(dir.Entries(),
              ElementsAre(".tessavar-ef34gh.tmp", "one.mid", "two.mid"));
}

// Runs a check in a child process as the unprivileged user "nobody" when
// this runs as root (as itself otherwise); true when the check held.
bool HoldsAsAnOrdinaryUser(const std::function<bool()>& check) {
  constexpr uid_t kNobody = 65534;
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    if (::getuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(2);
    }
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  return ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

// A write-protected file is refused as the shell's ">" refuses it, unless
// the caller asks to replace it anyway; it then keeps its mode.
TEST(AtomicFileTest, AWriteProtectedTargetIsReplacedOnlyWhenForced) {
  TempDir dir;
  fs::permissions(dir.path(), fs::perms::all);
  const std::string target = dir / "locked.mid";
  EXPECT_TRUE(HoldsAsAnOrdinaryUser([&] {
    WriteFileAtomically(target, "old");
    ::chmod(target.c_str(), 0444);
    const Status refused =
        ThrownStatus([&] { WriteFileAtomically(target, "new"); });
    const bool kept = ReadWholeFile(target) == "old";
    WriteFileAtomically(target, "forced", {}, Durability::kFlushEach,
                        WriteProtection::kOverride);
    return refused.number() == kErrPermissionDenied &&
           refused.path() == target &&
           refused.detail().find("write-protected") != std::string::npos &&
           kept && ReadWholeFile(target) == "forced" &&
           ModeOf(target) == 0444u && dir.Entries().size() == 1;
  }));
  // Whoever may write it anyway (root) replaces it, as the shell does.
  if (::access(target.c_str(), W_OK) == 0) {
    WriteFileAtomically(target, "by root");
    EXPECT_EQ(dir.Read("locked.mid"), "by root");
  }
}

// Extended attributes (user attributes, ACLs) go over to the new file.
// Written in the build tree: a tmpfs may not take user attributes.
TEST(AtomicFileTest, ReplacingKeepsExtendedAttributes) {
  std::string pattern = (fs::current_path() / "xattr-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const std::string target = pattern + "/tagged.mid";
  WriteFileAtomically(target, "old");
  const std::string value = "kept";
  if (::setxattr(target.c_str(), "user.tessavar.test", value.data(),
                 value.size(), 0) != 0) {
    fs::remove_all(pattern);
    GTEST_SKIP() << "no user attributes here: " << std::strerror(errno);
  }
  WriteFileAtomically(target, "new");
  char got[16] = {};
  const ssize_t size =
      ::getxattr(target.c_str(), "user.tessavar.test", got, sizeof got);
  EXPECT_EQ(std::string(got, size > 0 ? static_cast<size_t>(size) : 0), value);
  EXPECT_EQ(ReadWholeFile(target), "new");
  fs::remove_all(pattern);
}

// A batch's new files are flushed once at the end; what was written is
// complete, replacing keeps the mode, and a flush that cannot reach the
// directory is reported with its name.
TEST(BatchWriterTest, WritesSafelyAndReportsAFailedFlush) {
  TempDir dir;
  fs::create_directory(dir / "sub");
  const std::string old_file = dir / "old.mid";
  WriteFileAtomically(old_file, "old");
  ::chmod(old_file.c_str(), 0640);
  BatchWriter writer(Durability::kFlushNewLater);
  writer.Write(dir / "sub/new.mid", "new");
  writer.Write(old_file, "replaced");
  EXPECT_EQ(ReadWholeFile(dir / "sub/new.mid"), "new");
  EXPECT_EQ(ReadWholeFile(old_file), "replaced");
  EXPECT_EQ(ModeOf(old_file), 0640u);
  EXPECT_NO_THROW(writer.Finish());

  writer.Write(dir / "sub/more.mid", "more");
  fs::remove_all(dir / "sub");
  Status status = ThrownStatus([&] { writer.Finish(); });
  EXPECT_EQ(status.number(), kErrPathNotFound);
  EXPECT_THAT(status.path(), HasSubstr("sub"));
}

TEST(ReadFilePrefixTest, ReadsOnlyRegularFilesAndOnlyWhatIsAsked) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  for (const std::string& path : {dir / "fifo", std::string("/dev/zero")}) {
    Status status = ThrownStatus([&] { ReadWholeFile(path); });
    EXPECT_EQ(status.number(), kErrPathFileAccess) << path;
    EXPECT_EQ(status.path(), path);
  }
  dir.Write("a.mid", "MThd and more");
  EXPECT_EQ(ReadFilePrefix(dir / "a.mid", 4), "MThd");
  EXPECT_EQ(ReadFilePrefix(dir / "a.mid", 100), "MThd and more");
  EXPECT_EQ(ThrownStatus([&] { ReadWholeFile(dir / "gone.mid"); }).path(),
            dir / "gone.mid");
}

TEST(ReadFilePrefixTest, TheExactNameWinsThenTheLowerCaseOne) {
  TempDir dir;
  dir.Write("SONG.tvx", "upper");
  dir.Write("song.tvx", "lower");
  dir.Write("Song.TVX", "mixed");
  EXPECT_EQ(ReadWholeFile(dir / "SONG.tvx"), "upper");
  EXPECT_EQ(ReadWholeFile(dir / "sONG.tvx"), "lower");
}

}  // namespace
}  // namespace tessavar
