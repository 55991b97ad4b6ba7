#include "model/command_state.h"

#include <gtest/gtest.h>

namespace tessavar {
namespace {

class CommandStateTest : public ::testing::Test {
 protected:
  CommandStateTest() {
    commands_.on_changed = [this] { ++notified_; };
  }
  CommandAvailability Now() const { return commands_.Availability(panel_); }

  CommandState commands_;
  PanelModel panel_;
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

}  // namespace
}  // namespace tessavar
