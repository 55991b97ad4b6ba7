#include "model/redo_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "midi/writer_layout_file.h"
#include "model/program_state.h"
#include "support/counting_ui_host.h"
#include "support/fake_player.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::CountingUiHost;
using testing::FakePlayer;
using testing::LayoutFile;
using testing::ScriptedErrorReporter;
using testing::TempDir;
using Log = std::vector<std::string>;

// What the window would show at each yield.
struct Snapshot {
  std::string status;
  bool panel_enabled;
  bool compose_enabled;
  bool save_enabled;
  bool buttons_enabled;  // Load and Redo
  bool file_commands;
  bool busy;
};

class RedoCommandTest : public ::testing::Test {
 protected:
  RedoCommandTest() {
    state.paths = ProgramPaths::FromDirectory(dir.path());
    file = testing::WriterLayoutFile(120, testing::SampleTracks(3));
    for (int t = 0; t < 3; ++t) {
      state.panel.Select({List::kInstrument, t}, 10 + t);
      state.panel.SetText({Box::kPan, t}, std::to_string(30 + t));
    }
    state.panel.set_compose_enabled(false);
    state.panel.set_save_enabled(false);
    state.panel.set_score_current(true);  // composed from this panel
  }
  bool Run(ErrorReporter& reporter) {
    return RedoCommand(state, player, ui, reporter);
  }
  bool ButtonsEnabled() const {
    return state.commands.load_enabled() && state.commands.redo_enabled();
  }
  // What the window shows at a yield.
  void Record() {
    const CommandState& commands = state.commands;
    snapshots.push_back(
        {state.panel.status_text(), state.panel.enabled(),
         state.panel.compose_enabled(), state.panel.save_enabled(),
         commands.load_enabled() && commands.redo_enabled(),
         commands.Availability(state.panel).file_commands, ui.busy});
  }

  TempDir dir;
  ProgramState state;
  LayoutFile file;
  FakePlayer player;
  CountingUiHost ui{[this](int) { Record(); }};
  std::vector<Snapshot> snapshots;
  ScriptedErrorReporter errors;
};

TEST_F(RedoCommandTest, PatchesTheWorkingFileAndReopensIt) {
  dir.Write("tvx.mid", file.bytes);
  state.panel.Select({List::kInstrument, 2}, 40);
  state.panel.SetText({Box::kPan, 2}, "20");
  EXPECT_TRUE(Run(errors));

  std::string after = dir.Read("tvx.mid");
  std::string expected = file.bytes;
  expected[file.program_offsets[2]] = 40;
  expected[file.pan_offsets[2]] = 20;
  EXPECT_EQ(after, expected);
  EXPECT_EQ(player.log,
            (Log{"Close", "FileName " + (dir / "tvx.mid"), "Open"}));
  EXPECT_TRUE(errors.messages.empty());

  // While the file is patched everything is disabled and the status says so.
  ASSERT_GE(snapshots.size(), 2u);
  const Snapshot& during = snapshots[1];
  EXPECT_EQ(during.status, kRedoStatusText);
  EXPECT_FALSE(during.panel_enabled);
  EXPECT_FALSE(during.compose_enabled);
  EXPECT_FALSE(during.save_enabled);
  EXPECT_FALSE(during.buttons_enabled);
  EXPECT_FALSE(during.file_commands);
  EXPECT_TRUE(during.busy);
  // The File menu waits from the first yield on.
  EXPECT_FALSE(snapshots[0].file_commands);

  EXPECT_EQ(state.panel.status_text(), "");
  EXPECT_TRUE(state.panel.enabled());
  EXPECT_TRUE(state.panel.compose_enabled());
  EXPECT_TRUE(state.panel.save_enabled());
  EXPECT_TRUE(ButtonsEnabled());
  EXPECT_EQ(state.commands.running(), RunningCommand::kNone);
  EXPECT_FALSE(ui.busy);
}

TEST_F(RedoCommandTest, AutoplayStartsWhereTheSliderStands) {
  dir.Write("tvx.mid", file.bytes);
  state.options.autoplay_redo = true;
  state.play_slider = 500;
  player.length_ms = 200001;
  EXPECT_TRUE(Run(errors));
  // 100000.5 rounds to the even neighbour.
  EXPECT_EQ(player.log.size(), 5u);
  EXPECT_EQ(player.log[3], "From 100000");
  EXPECT_EQ(player.log[4], "Play");

  player.log.clear();
  state.options.autoplay_redo = false;
  EXPECT_TRUE(Run(errors));
  EXPECT_EQ(player.log.back(), "Open");
}

TEST_F(RedoCommandTest, MissingWorkingFileIsReportedAndTheInterfaceRestored) {
  state.options.autoplay_redo = true;
  EXPECT_FALSE(Run(errors));
  EXPECT_EQ(errors.messages, Log{"File not found"});
  EXPECT_TRUE(dir.Entries().empty());
  EXPECT_EQ(state.panel.status_text(), "");
  EXPECT_TRUE(state.panel.enabled());
  EXPECT_TRUE(state.panel.compose_enabled());
  EXPECT_FALSE(state.panel.save_enabled());
  EXPECT_TRUE(ButtonsEnabled());
  EXPECT_EQ(state.commands.running(), RunningCommand::kNone);
  EXPECT_FALSE(ui.busy);
  // Nothing plays after a failure.
  EXPECT_EQ(player.log.back(), "Open");
}

TEST_F(RedoCommandTest, RedoOnAStaleScoreLeavesSaveOff) {
  dir.Write("tvx.mid", file.bytes);
  state.panel.SetText({Box::kTempo}, "90");  // the score is stale now
  EXPECT_TRUE(Run(errors));
  EXPECT_FALSE(state.panel.save_enabled());
}

TEST_F(RedoCommandTest, SaveKeepsItsStateWhenRedoFails) {
  state.panel.set_save_enabled(true);
  EXPECT_FALSE(Run(errors));
  EXPECT_TRUE(state.panel.save_enabled());
}

TEST_F(RedoCommandTest, LockedWorkingFileCanBeRetried) {
  std::filesystem::create_directory(dir / "tvx.mid");
  ScriptedErrorReporter retry_once({ErrorChoice::kRetry});
  EXPECT_FALSE(Run(retry_once));
  EXPECT_EQ(retry_once.messages.size(), 2u);
  EXPECT_TRUE(state.panel.enabled());
}

TEST_F(RedoCommandTest, WaitsWhileAnotherCommandRuns) {
  dir.Write("tvx.mid", file.bytes);
  state.commands.Start(RunningCommand::kCompose);
  EXPECT_FALSE(Run(errors));
  EXPECT_TRUE(player.log.empty());
  EXPECT_EQ(dir.Read("tvx.mid"), file.bytes);
  EXPECT_EQ(state.commands.running(), RunningCommand::kCompose);
}

}  // namespace
}  // namespace tessavar
