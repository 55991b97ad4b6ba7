#include "model/undo_stack.h"

#include <gtest/gtest.h>

#include "model/panel_snapshot.h"
#include "support/browse_fixture.h"

namespace tessavar {
namespace {

using UndoTest = testing::BrowseFixture;

// The panel as the user sees it, stale state and status included.
void ExpectSamePanel(const PanelSnapshot& expected, const ProgramState& state) {
  EXPECT_TRUE(SameSettings(expected, TakeSnapshot(state, 0)));
  EXPECT_EQ(state.panel.save_enabled(), expected.panel.save_enabled());
  EXPECT_EQ(state.panel.compose_enabled(), expected.panel.compose_enabled());
  EXPECT_EQ(state.panel.status_text(), expected.panel.status_text());
  EXPECT_EQ(state.panel.enabled(), expected.panel.enabled());
}

TEST_F(UndoTest, EachKindOfChangeIsOneStepAndTypingMergesPerBox) {
  PanelModel& panel = state_.panel;
  std::vector<PanelSnapshot> before;
  auto step = [&](auto change) {
    before.push_back(TakeSnapshot(state_, 0));
    change();
  };
  step([&] { Type({Box::kMapping}, "1234"); });
  step([&] { Type({Box::kStructure}, "97531"); });
  step([&] {
    panel.StepSpinner({Box::kVolume, 3}, 1);
    session_->UserChanged();
  });
  step([&] {
    panel.Select({List::kMeter}, 2);
    session_->UserChanged();
  });
  step([&] {
    panel.SetCheck({Check::kTie, 5}, 1);
    session_->UserChanged();
  });
  step([&] {
    state_.engine.user_scale = " 0 2 4 5 7 911";
    session_->UserChanged();
  });
  const PanelSnapshot last = TakeSnapshot(state_, 0);
  EXPECT_EQ(panel.Spinner({Box::kMapping}), 1234);

  for (size_t i = before.size(); i-- > 0;) {
    ASSERT_TRUE(session_->Undo()) << i;
    ExpectSamePanel(before[i], state_);
  }
  EXPECT_FALSE(session_->Undo());
  while (session_->Redo()) {
  }
  ExpectSamePanel(last, state_);
  EXPECT_EQ(state_.engine.user_scale, " 0 2 4 5 7 911");

  // A new change drops the redo steps; typing back to where it began
  // leaves no step.
  ASSERT_TRUE(session_->Undo());
  Type({Box::kTempo}, "150");
  EXPECT_FALSE(session_->CanRedo());
  Type({Box::kTempo}, "15");
  Type({Box::kTempo}, "150");
  ASSERT_TRUE(session_->Undo());
  EXPECT_EQ(panel.Text({Box::kTempo}), "15");
}

TEST_F(UndoTest, UndoBackToThePieceInThePlayerNeedsNoCompose) {
  ASSERT_TRUE(Compose().written);
  EXPECT_FALSE(session_->CanUndo()) << "Compose's own writes are no step";
  Type({Box::kTempo}, "200");
  EXPECT_FALSE(state_.panel.save_enabled());
  EXPECT_EQ(player_.Mode(), kPlayerModeNotOpen);

  ASSERT_TRUE(session_->Undo());
  EXPECT_TRUE(state_.panel.save_enabled());
  EXPECT_FALSE(state_.panel.compose_enabled());
  EXPECT_EQ(player_.file_name, state_.paths.working_midi);
  EXPECT_NE(player_.Mode(), kPlayerModeNotOpen);

  // Once another piece is in the player, the same settings are stale.
  ASSERT_TRUE(session_->Redo());
  ASSERT_TRUE(Compose().written);
  ASSERT_TRUE(session_->Undo());
  EXPECT_EQ(state_.panel.Text({Box::kTempo}), "150");
  EXPECT_FALSE(state_.panel.save_enabled());
  EXPECT_TRUE(state_.panel.compose_enabled());
}

TEST_F(UndoTest, NothingIsUndoneWhileComposing) {
  Type({Box::kMapping}, "77");
  state_.panel.DisablePanel();
  EXPECT_FALSE(session_->CanUndo());
  EXPECT_FALSE(session_->Undo());
  EXPECT_EQ(state_.panel.Text({Box::kMapping}), "77");
}

TEST(UndoStackTest, KeepsOnlyTheNewestStepsAndDragsMerge) {
  ProgramState state;
  UndoStack stack(3);
  stack.Reset(TakeSnapshot(state, 0));
  for (int volume = 1; volume <= 5; ++volume) {
    state.panel.SetSpinner({Box::kVolume, 0}, volume);
    stack.Commit(TakeSnapshot(state, 0), {});
  }
  EXPECT_EQ(stack.undo_count(), 3u);
  EXPECT_EQ(stack.Undo().panel.Spinner({Box::kVolume, 0}), 4);

  for (int pan = 10; pan <= 30; pan += 10) {
    state.panel.SetSpinner({Box::kPan, 0}, pan);
    stack.Commit(TakeSnapshot(state, 0), ChangeKey::Dragging({Box::kPan, 0}));
  }
  EXPECT_EQ(stack.Undo().panel.Spinner({Box::kPan, 0}), 64);
}

}  // namespace
}  // namespace tessavar
