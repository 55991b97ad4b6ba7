#include "model/midi_save.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "support/counting_ui_host.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::CountingUiHost;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::ScriptedErrorReporter;
using testing::TempDir;

class MidiSaveTest : public ::testing::Test {
 protected:
  MidiSaveTest() {
    panel_.SetText({Box::kTempo}, "120");
    engine_.track_name[0] = "Track 1";
    engine_.score.At(0, 0) = {60, 100, 8};
  }

  MidiSaveResult Save(const std::string& path) {
    return SaveScoreAsMidiFile(
        path, engine_, MidiFileSettingsFromPanel(panel_, DefaultChannelMap()),
        reporter_, ui_);
  }

  // What the writer builds for the same score and panel.
  std::string Expected() {
    CountingUiHost quiet;
    quiet.stop = ui_.stop;
    return BuildMidiFile(
               engine_.score, engine_.track_name, engine_.track_instrument,
               MidiFileSettingsFromPanel(panel_, DefaultChannelMap()), quiet)
        .bytes;
  }

  TempDir dir_;
  PanelModel panel_;
  EngineState engine_;
  ScriptedErrorReporter reporter_;
  CountingUiHost ui_;
};

TEST_F(MidiSaveTest, WritesTheTrimmedLowerCaseNameReplacingAnOldFile) {
  std::filesystem::create_directory(dir_ / "Songs");
  dir_.Write("Songs/my song.mid", std::string(500, 'x'));
  MidiSaveResult result = Save("  " + (dir_ / "Songs/My Song.MID") + "  ");
  EXPECT_TRUE(result.written());
  EXPECT_EQ(dir_.Read("Songs/my song.mid"), Expected());
  EXPECT_THAT(dir_.Entries(), ElementsAre("Songs"));
  EXPECT_EQ(std::filesystem::directory_iterator(dir_ / "Songs")->path(),
            dir_ / "Songs/my song.mid");
  EXPECT_TRUE(reporter_.messages.empty());
}

TEST_F(MidiSaveTest, RefusesWithoutPathFirstNameOrPositiveTempo) {
  const std::string path = dir_ / "refused.mid";
  for (const char* tempo : {"0", "abc", "", "-120", "0.4"}) {
    panel_.SetText({Box::kTempo}, tempo);
    EXPECT_EQ(Save(path).outcome, MidiWriteOutcome::kRefused) << tempo;
  }
  panel_.SetText({Box::kTempo}, "120");
  EXPECT_EQ(Save("   ").outcome, MidiWriteOutcome::kRefused);
  engine_.track_name[0] = "";
  EXPECT_EQ(Save(path).outcome, MidiWriteOutcome::kRefused);
  EXPECT_TRUE(dir_.Entries().empty());
  EXPECT_TRUE(reporter_.messages.empty());
  EXPECT_EQ(ui_.yields, 0);
}

TEST_F(MidiSaveTest, AStoppedWriteStillStoresTheCompletedTracks) {
  dir_.Write("stopped.mid", "an older file");
  ui_.stop = true;
  const std::string expected = Expected();
  MidiSaveResult result = Save(dir_ / "stopped.mid");
  EXPECT_EQ(result.outcome, MidiWriteOutcome::kStopped);
  EXPECT_TRUE(result.status.ok());
  EXPECT_FALSE(result.written());
  EXPECT_EQ(dir_.Read("stopped.mid"), expected);
}

// A path whose parent is a regular file cannot be created, even by root.
TEST_F(MidiSaveTest, CancelAfterAFailedCreateGivesTheErrorAndNoFile) {
  dir_.Write("blocker", "");
  MidiSaveResult result = Save(dir_ / "blocker/TVX.MID");
  EXPECT_FALSE(result.written());
  EXPECT_EQ(result.outcome, MidiWriteOutcome::kWritten);
  EXPECT_EQ(result.status.number(), kErrPathNotFound);
  EXPECT_THAT(reporter_.messages, ElementsAre(HasSubstr("Path not found")));

  EXPECT_EQ(Save(dir_ / "missing/TVX.MID").status.number(), kErrPathNotFound);
  EXPECT_THAT(dir_.Entries(), ElementsAre("blocker"));
}

TEST_F(MidiSaveTest, AFailedReplacementKeepsTheOldTargetAndLeavesNoTempFile) {
  std::filesystem::create_directory(dir_ / "tvx.mid");
  reporter_ =
      ScriptedErrorReporter({ErrorChoice::kRetry, ErrorChoice::kCancel});
  EXPECT_EQ(Save(dir_ / "TVX.MID").status.number(), kErrPathFileAccess);
  EXPECT_EQ(reporter_.messages.size(), 2u);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "tvx.mid"));
  EXPECT_THAT(dir_.Entries(), ElementsAre("tvx.mid"));
}

TEST_F(MidiSaveTest, RetryRepeatsTheWriteUntilItSucceeds) {
  dir_.Write("out", "");
  reporter_ = ScriptedErrorReporter({ErrorChoice::kRetry, ErrorChoice::kRetry});
  // The user removes the obstacle while the second message is shown.
  reporter_.on_show = [this](int shown) {
    if (shown != 2) return;
    std::filesystem::remove(dir_ / "out");
    std::filesystem::create_directory(dir_ / "out");
  };
  EXPECT_TRUE(Save(dir_ / "out/TVX.MID").written());
  EXPECT_EQ(reporter_.messages.size(), 2u);
  EXPECT_EQ(dir_.Read("out/tvx.mid"), Expected());
}

TEST(MidiSettingsFromPanelTest, TempoAndPansAreRoundedNumbers) {
  PanelModel panel;
  struct Case {
    const char* text;
    int64_t number;
  };
  for (Case c : {Case{"120", 120}, Case{"120.5", 120}, Case{"121.5", 122},
                 Case{" 420 bpm", 420}, Case{"0.4", 0}, Case{"abc", 0},
                 Case{"-120", 0}}) {
    panel.SetText({Box::kTempo}, c.text);
    EXPECT_EQ(MidiFileSettingsFromPanel(panel, {}).tempo, c.number) << c.text;
  }
  const std::vector<std::string> pans = {"63.5", "64.5", "-4", "abc", "999"};
  const std::vector<int64_t> numbers = {64, 64, -4, 0, 999};
  for (int t = 0; t < 5; ++t) panel.SetText({Box::kPan, t}, pans[t]);
  ChannelMap channels = DefaultChannelMap();
  channels[3] = 10;
  MidiFileSettings settings = MidiFileSettingsFromPanel(panel, channels);
  for (int t = 0; t < 5; ++t) EXPECT_EQ(settings.pans[t], numbers[t]) << t;
  EXPECT_EQ(settings.channel_map, channels);

  ProgramState state;
  state.panel = panel;
  state.channel_map = channels;
  state.panel.Select({List::kInstrument, 2}, 40);
  RedoSettings redo = RedoSettingsFromState(state);
  for (int t = 0; t < 5; ++t) EXPECT_EQ(redo.pan[t], numbers[t]) << t;
  EXPECT_EQ(redo.instrument[2], 40);
  EXPECT_EQ(redo.channel[3], 10);
}

}  // namespace
}  // namespace tessavar
