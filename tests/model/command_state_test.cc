#include "model/command_state.h"

#include <gtest/gtest.h>

namespace tessavar {
namespace {

class CommandStateTest : public ::testing::Test {
 protected:
  CommandStateTest() {
    commands_.on_changed = [this] { ++notified_; };
    on_disk_.working_midi_exists = true;
  }
  CommandAvailability Now() const {
    return commands_.Availability(panel_, on_disk_);
  }

  CommandState commands_;
  PanelModel panel_;
  AvailabilityFacts on_disk_;
  int notified_ = 0;
};

TEST_F(CommandStateTest, EveryChangeNotifiesTheWindow) {
  commands_.Start(RunningCommand::kCompose);
  commands_.SetComposeStops(true);
  commands_.SetLoadAndRedoEnabled(false);
  commands_.Finish();
  EXPECT_EQ(notified_, 4);
}

TEST_F(CommandStateTest, FileCommandsAndSaveWaitForARunningCommand) {
  panel_.set_save_enabled(true);
  EXPECT_TRUE(Now().save);
  EXPECT_TRUE(Now().file_commands);
  for (RunningCommand command :
       {RunningCommand::kCompose, RunningCommand::kRedo}) {
    commands_.Start(command);
    EXPECT_TRUE(commands_.busy());
    EXPECT_FALSE(Now().save);
    EXPECT_FALSE(Now().file_commands);
    commands_.Finish();
    EXPECT_TRUE(Now().save);
    EXPECT_TRUE(Now().file_commands);
  }
  panel_.set_save_enabled(false);
  EXPECT_FALSE(Now().save);
}

TEST_F(CommandStateTest, ComposeAndButtonsFollowTheirOwnState) {
  panel_.set_compose_enabled(false);
  EXPECT_FALSE(Now().compose);
  commands_.Start(RunningCommand::kCompose);
  commands_.SetComposeStops(true);
  commands_.SetLoadAndRedoEnabled(false);
  EXPECT_TRUE(Now().compose_stops);
  EXPECT_FALSE(Now().load);
  EXPECT_FALSE(Now().redo);
  // Finishing ends the stoppable phase even when nothing else did.
  commands_.Finish();
  EXPECT_FALSE(Now().compose_stops);
  commands_.SetLoadAndRedoEnabled(true);
  EXPECT_TRUE(Now().load && Now().redo);
}

// Each row: the state, then what is available in it.
struct AvailabilityCase {
  const char* name;
  RunningCommand running;
  bool save_enabled;
  bool panel_enabled;
  AvailabilityFacts facts;
  bool redo, export_audio, midi_drag, undo_change, redo_change, browse;
};

TEST_F(CommandStateTest, EachCommandFollowsItsOwnRule) {
  const AvailabilityFacts& on_disk = on_disk_;
  AvailabilityFacts listening = on_disk;
  listening.listening_to_midi_only = true;
  AvailabilityFacts history;
  history.can_undo_change = history.can_redo_change = true;
  history.player_open = true;
  const AvailabilityCase cases[] = {
      {"never composed",
       RunningCommand::kNone,
       false,
       true,
       {},
       false,
       false,
       false,
       false,
       false,
       true},
      {"composed", RunningCommand::kNone, true, true, on_disk, true, true, true,
       false, false, true},
      {"stale music", RunningCommand::kNone, false, true, on_disk, true, false,
       false, false, false, true},
      {"saveable, file gone",
       RunningCommand::kNone,
       true,
       true,
       {},
       false,
       true,
       false,
       false,
       false,
       true},
      {"listening to a MIDI file", RunningCommand::kNone, false, true,
       listening, false, false, false, false, false, true},
      {"changes to undo", RunningCommand::kNone, false, true, history, false,
       false, false, true, true, true},
      {"panel disabled", RunningCommand::kNone, true, false, history, false,
       true, false, false, false, false},
      {"redo running", RunningCommand::kRedo, true, true, history, false, false,
       false, false, false, false},
  };
  for (const AvailabilityCase& row : cases) {
    CommandState commands;
    commands.Start(row.running);
    panel_.set_save_enabled(row.save_enabled);
    if (row.panel_enabled) {
      panel_.EnablePanel();
    } else {
      panel_.DisablePanel();
    }
    const CommandAvailability now = commands.Availability(panel_, row.facts);
    EXPECT_EQ(now.redo, row.redo) << row.name;
    EXPECT_EQ(now.export_audio, row.export_audio) << row.name;
    EXPECT_EQ(now.midi_drag, row.midi_drag) << row.name;
    EXPECT_EQ(now.undo_change, row.undo_change) << row.name;
    EXPECT_EQ(now.redo_change, row.redo_change) << row.name;
    EXPECT_EQ(now.browse, row.browse) << row.name;
    EXPECT_EQ(now.transport, row.facts.player_open) << row.name;
  }
}

}  // namespace
}  // namespace tessavar
