#include "model/program_directory.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/status.h"
#include "base/temporary_files.h"
#include "model/written_folders.h"
#include "support/killed_child.h"
#include "support/temp_dir.h"

namespace tessavar::testing {
namespace {

namespace fs = std::filesystem;

const std::string kFactory = TESSAVAR_SOURCE_DIR "/share";

TEST(ProgramDirectoryTest, HomeVariableWinsOverTheUsersFolder) {
  EXPECT_EQ(ChooseProgramDirectory("/data/tv", "/home/ann"), "/data/tv");
  EXPECT_EQ(ChooseProgramDirectory("", "/home/ann"),
            "/home/ann/TessavarComposer");
  EXPECT_EQ(ChooseProgramDirectory("", "/home/ann/"),
            "/home/ann/TessavarComposer");
  EXPECT_EQ(ChooseProgramDirectory("", ""), "");
}

TEST(ProgramDirectoryTest, FirstUseCreatesTheFolderWithLowerCaseFactoryFiles) {
  TempDir home;
  const std::string dir = home / "nested/TessavarComposer";
  PrepareProgramDirectory(dir, kFactory);
  EXPECT_EQ(ReadWholeFile(dir + "/default.tvx"),
            ReadWholeFile(kFactory + "/DEFAULT.TVX"));
  EXPECT_EQ(ReadWholeFile(dir + "/thelp20.rtf"),
            ReadWholeFile(kFactory + "/THELP20.RTF"));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"default.tvx", "thelp20.rtf"}));
}

TEST(ProgramDirectoryTest, TheUsersFilesAreKeptWhateverTheirLetterCase) {
  TempDir dir;
  dir.Write("Default.TVX", "mine");
  dir.Write("thelp20.rtf", "my notes");
  ::chmod((dir / "thelp20.rtf").c_str(), 0600);
  PrepareProgramDirectory(dir.path(), kFactory);
  EXPECT_EQ(dir.Entries(),
            (std::vector<std::string>{"Default.TVX", "thelp20.rtf"}));
  EXPECT_EQ(dir.Read("Default.TVX"), "mine");
  EXPECT_EQ(dir.Read("thelp20.rtf"), "my notes");
  EXPECT_EQ(fs::status(dir / "thelp20.rtf").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST(ProgramDirectoryTest, AFileInTheWayOfTheFolderIsAnError) {
  TempDir home;
  home.Write("TessavarComposer", "not a folder");
  EXPECT_THROW(PrepareProgramDirectory(home / "TessavarComposer", kFactory),
               RunTimeError);
  EXPECT_EQ(home.Read("TessavarComposer"), "not a folder");
}

using LockState = ProgramDirectoryLock::State;

TEST(ProgramDirectoryLockTest, OneProgramAtATimeAndOnlyTheLockCounts) {
  TempDir dir, other;
  {
    const ProgramDirectoryLock first(dir.path());
    ASSERT_EQ(first.state(), LockState::kHeld);
    EXPECT_EQ(ProgramDirectoryLock(dir.path()).state(), LockState::kBusy);
    EXPECT_EQ(ProgramDirectoryLock(other.path()).state(), LockState::kHeld);
  }
  // A program killed while it holds the lock: the lock goes with it, and
  // the file it leaves locks nothing.
  LockState while_alive = LockState::kFailed;
  ASSERT_TRUE(RunAndKill(
      [&](const ReadyCall& ready) {
        const ProgramDirectoryLock child(dir.path());
        if (child.state() == LockState::kHeld) ready();
      },
      SIGKILL,
      [&] { while_alive = ProgramDirectoryLock(dir.path()).state(); }));
  EXPECT_EQ(while_alive, LockState::kBusy);
  ASSERT_TRUE(dir.Exists(kProgramLockFileName));
  EXPECT_EQ(ProgramDirectoryLock(dir.path()).state(), LockState::kHeld);
  const ProgramDirectoryLock missing(dir / "missing/folder");
  EXPECT_EQ(missing.state(), LockState::kFailed);
  EXPECT_EQ(missing.status().number(), kErrPathNotFound);
}

// Writes a temporary beside the audio file as the renderer does, and stops
// there.
class HalfWayRenderer : public AudioRenderer {
 public:
  explicit HalfWayRenderer(ReadyCall ready) : ready_(std::move(ready)) {}
  RenderResult Render(const std::string&, const std::string& audio_path,
                      const std::string&, const RenderProgress&,
                      const std::vector<bool>&, int) override {
    std::string path;
    int slot = -1;
    const int fd = CreateTemporaryFile(audio_path, &path, &slot);
    const std::string bytes(1 << 16, 'a');
    if (fd >= 0 && ::write(fd, bytes.data(), bytes.size()) > 0) ready_();
    return {};
  }
  RenderResult RenderStems(const std::string&, const std::string&, AudioFormat,
                           const std::string&, const RenderProgress&,
                           const std::vector<bool>&, int) override {
    return {};
  }

 private:
  ReadyCall ready_;
};

TEST(LeftoverTest, TheNextStartRemovesWhatKilledWritersLeftAndNothingElse) {
  TempDir program, exports, saves;
  ASSERT_TRUE(RunAndKill(
      [&](const ReadyCall& ready) {
        HalfWayRenderer renderer(ready);
        FolderRecordingRenderer recording(renderer,
                                          WrittenFoldersPath(program.path()));
        recording.Render("in.mid", exports / "song.wav", "", {}, {},
                         kDefaultBitrate);
      },
      SIGKILL));
  ASSERT_EQ(exports.Entries().size(), 1u);
  const std::string killed_export = exports.Entries()[0];
  ASSERT_TRUE(IsTemporaryFileName(killed_export));
  saves.Write(".tessavar-abc123.tmp", "a save killed half-way");
  program.Write(".tessavar-xyz789.tmp", "a settings write killed half-way");
  program.Write(".tessavar-mine", "not of the pattern");
  for (const std::string& path :
       {exports / killed_export, saves / ".tessavar-abc123.tmp",
        program / ".tessavar-xyz789.tmp", program / ".tessavar-mine"}) {
    MakeOld(path);
  }
  EXPECT_EQ(RemoveLeftoverTemporaries(program.path(), {saves / "song.tvx"}), 3);
  EXPECT_TRUE(exports.Entries().empty());
  EXPECT_TRUE(saves.Entries().empty());
  EXPECT_EQ(program.Entries(), (std::vector<std::string>{
                                   ".tessavar-mine", kWrittenFoldersFileName}));
}

TEST(LeftoverTest, TheExportFoldersAreRememberedNewestFirstOnceAndCapped) {
  TempDir program;
  const std::string file = WrittenFoldersPath(program.path());
  for (size_t n = 0; n < kWrittenFoldersKept + 4; ++n) {
    ASSERT_TRUE(RememberWrittenFolder(file, "/music/" + std::to_string(n)));
  }
  ASSERT_TRUE(RememberWrittenFolder(file, "/music/7/"));
  EXPECT_FALSE(RememberWrittenFolder(file, "/music/line\nend"));
  const std::vector<std::string> folders = ReadWrittenFolders(file);
  ASSERT_EQ(folders.size(), kWrittenFoldersKept);
  EXPECT_EQ(folders[0], "/music/7");
  EXPECT_EQ(folders[1], "/music/19");
  EXPECT_EQ(std::count(folders.begin(), folders.end(), "/music/7"), 1);
  program.Write(kWrittenFoldersFileName, "/not/a/folders/file\n");
  EXPECT_TRUE(ReadWrittenFolders(file).empty());
}

}  // namespace
}  // namespace tessavar::testing
