// The window's commands without a window: dialogs answered by doubles, the
// player a fake, every test in a fresh program directory.
#include "app/app_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/file_system.h"
#include "support/fake_player.h"
#include "support/midi_bytes.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_error_reporter.h"
#include "support/soundfont_check.h"
#include "support/temp_dir.h"

namespace tessavar::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class AppCommandsTest : public ::testing::Test {
 protected:
  AppCommandsTest() { state_.paths = ProgramPaths::FromDirectory(dir_.path()); }

  TempDir dir_;
  ProgramState state_;
  ScriptedDialogs dialogs_;
  ScriptedErrorReporter errors_;
  FakePlayer player_;
  UiHost ui_;
  AppCommands commands_{state_, dialogs_, errors_, player_, ui_};
};

TEST_F(AppCommandsTest, OrchestrationAndScaleDialogsAreSetUpPerKind) {
  commands_.FileLoadOrchestration();
  commands_.FileSaveOrchestration();
  commands_.FileLoadScaleX();
  commands_.FileSaveScaleX();
  ASSERT_EQ(dialogs_.open_requests.size(), 2u);
  ASSERT_EQ(dialogs_.save_requests.size(), 2u);
  const FileDialogRequest& load_orc = dialogs_.open_requests[0];
  EXPECT_EQ(load_orc.title, "Load Orchestration");
  EXPECT_EQ(load_orc.filter, "*.orc");
  EXPECT_EQ(load_orc.default_extension, "orc");
  EXPECT_TRUE(load_orc.must_exist);
  const FileDialogRequest& save_orc = dialogs_.save_requests[0];
  EXPECT_EQ(save_orc.title, "Save Orchestration As");
  EXPECT_FALSE(save_orc.must_exist);
  EXPECT_EQ(dialogs_.open_requests[1].title, "Load User-Defined Scale");
  EXPECT_EQ(dialogs_.open_requests[1].filter, "*.sca");
  EXPECT_EQ(dialogs_.save_requests[1].title, "Save User-Defined Scale As");
  EXPECT_EQ(dialogs_.save_requests[1].default_extension, "sca");
  // All four were cancelled: nothing chosen, nothing written or reported.
  EXPECT_EQ(state_.orchestration_path, "");
  EXPECT_EQ(state_.scale_path, "");
  EXPECT_TRUE(dir_.Entries().empty());
  EXPECT_TRUE(errors_.messages.empty());
}

TEST_F(AppCommandsTest, SavedOrchestrationGetsItsExtensionAndLowerCaseName) {
  state_.panel.SetText({Box::kVolume, 4}, "100");
  dialogs_.file_answers.push_back(dir_ / "BASS.TXT");
  commands_.FileSaveOrchestration();
  EXPECT_EQ(state_.orchestration_path, dir_ / "BASS.orc");
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"bass.orc"});

  // Loading it into a panel with another volume brings the 100 back.
  state_.panel.SetText({Box::kVolume, 4}, "12");
  dialogs_.file_answers.push_back(dir_ / "BASS");
  commands_.FileLoadOrchestration();
  EXPECT_EQ(state_.panel.Text({Box::kVolume, 4}), "100");
  EXPECT_TRUE(errors_.messages.empty());
}

TEST_F(AppCommandsTest, SavingIntoANewFolderCreatesThatOneFolder) {
  state_.engine.user_scale = " 0 2 4 5 7 911";
  dialogs_.file_answers.push_back(dir_ / "scales/MINE");
  commands_.FileSaveScaleX();
  EXPECT_EQ(ReadFile(dir_ / "scales/mine.sca"), "\" 0 2 4 5 7 911\"\r\n");

  state_.engine.user_scale = "";
  dialogs_.file_answers.push_back(dir_ / "scales/MINE.sca");
  commands_.FileLoadScaleX();
  EXPECT_EQ(state_.engine.user_scale, " 0 2 4 5 7 911");
}

TEST_F(AppCommandsTest, CancelledDialogKeepsThePreviousPath) {
  WriteFile(dir_ / "strings.orc", "");
  state_.orchestration_path = dir_ / "strings.orc";
  commands_.FileSaveOrchestration();  // no answer: cancelled
  EXPECT_EQ(state_.orchestration_path, dir_ / "strings.orc");
  EXPECT_EQ(ReadFile(dir_ / "strings.orc"), "");
}

TEST_F(AppCommandsTest, OptionsToggleTheirOwnMarkOnly) {
  commands_.ToggleAutoplay();
  EXPECT_TRUE(state_.options.autoplay);
  EXPECT_FALSE(state_.options.autoplay_redo);
  EXPECT_FALSE(state_.options.lock_mapped);
  commands_.ToggleLockMapped();
  commands_.ToggleAutoplay();
  EXPECT_FALSE(state_.options.autoplay);
  EXPECT_TRUE(state_.options.lock_mapped);
  commands_.ToggleAutoplayRedo();
  EXPECT_TRUE(state_.options.autoplay_redo);
  EXPECT_TRUE(player_.log.empty());
}

TEST_F(AppCommandsTest, AStaleScoreClosesThePlayer) {
  state_.panel.SetText({Box::kStructure}, "123");
  EXPECT_EQ(player_.log, std::vector<std::string>{"Close"});
}

TEST_F(AppCommandsTest, ExportWithoutComposedMusicSaysSoAndAsksNothing) {
  commands_.FileExportAudio();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text,
            "There is no composed music to export yet. Compose first.");
  EXPECT_TRUE(dialogs_.save_requests.empty());
}

TEST_F(AppCommandsTest, ExportRendersTheWorkingFileAndCanBeCancelled) {
  ASSERT_TRUE(DefaultSoundFontInstalled());
  WriteFile(dir_ / "tvx.mid", WriterLayoutFile({{{0, 60, 192}, {0, 64, 192}}}));

  dialogs_.file_answers.push_back(dir_ / "out/Song");
  int reports = 0;
  commands_.FileExportAudio([&reports](double) {
    ++reports;
    return true;
  });
  ASSERT_EQ(dialogs_.save_requests.size(), 1u);
  EXPECT_EQ(dialogs_.save_requests[0].title, "Export Audio");
  EXPECT_EQ(dialogs_.save_requests[0].filter, "*.wav");
  EXPECT_GT(reports, 0);
  EXPECT_TRUE(errors_.messages.empty());
  const std::string wav = ReadFile(dir_ / "out/Song.wav");
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");

  dialogs_.file_answers.push_back(dir_ / "cancelled.wav");
  commands_.FileExportAudio([](double) { return false; });
  EXPECT_FALSE(fs::exists(dir_ / "cancelled.wav"));
  EXPECT_TRUE(errors_.messages.empty());
}

TEST_F(AppCommandsTest, ExportFailureIsReportedAndCanBeRetried) {
  WriteFile(dir_ / "tvx.mid", "not a MIDI file");
  dialogs_.file_answers.push_back(dir_ / "x.wav");
  ScriptedErrorReporter retry_once({ErrorChoice::kRetry});
  AppCommands commands(state_, dialogs_, retry_once, player_, ui_);
  commands.FileExportAudio();
  EXPECT_EQ(retry_once.messages.size(), 2u);  // retried once, then cancelled
  EXPECT_FALSE(fs::exists(dir_ / "x.wav"));
}

TEST_F(AppCommandsTest, ChosenSoundFontIsKeptAndReopensAnOpenPlayer) {
  std::string applied = "none";
  commands_.hooks.apply_soundfont = [&applied](const std::string& path) {
    applied = path;
  };
  commands_.OptionsSoundFont();  // cancelled
  EXPECT_EQ(applied, "none");
  EXPECT_EQ(state_.options.soundfont, "");
  ASSERT_EQ(dialogs_.open_requests.size(), 1u);
  EXPECT_EQ(dialogs_.open_requests[0].filter, "*.sf2");

  player_.SetFileName("tvx.mid");
  player_.Open();
  player_.log.clear();
  dialogs_.file_answers.push_back("/fonts/Big.sf2");
  commands_.OptionsSoundFont();
  EXPECT_EQ(applied, "/fonts/Big.sf2");
  EXPECT_EQ(state_.options.soundfont, "/fonts/Big.sf2");
  EXPECT_EQ(player_.log, (std::vector<std::string>{"Close", "Open"}));
}

}  // namespace
}  // namespace tessavar::testing
