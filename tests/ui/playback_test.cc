// The window's side of playback: the transport buttons, the position slider
// and the status line follow the player's reports.
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <deque>

#include "ui/playback_strip.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

// The fake player with completion notifications.
class NotifyingPlayer : public FakePlayer {
 public:
  int TakeCompletion() override {
    if (completions.empty()) return 0;
    int code = completions.front();
    completions.pop_front();
    return code;
  }
  std::deque<int> completions;
};

class PlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<MainWindow>(state_, player_, renderer_, dialogs_,
                                           errors_);
    window_->show();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window_->commands().activated_once(); }));
    player_.SetFileName("tvx.mid");
    player_.Open();
    player_.length_ms = 200000;
    window_->Refresh();
  }
  void StatusUpdate() {
    emit window_->findChild<QTimer*>("StatusTimer")->timeout({});
  }
  PlaybackStrip& strip() { return window_->playback_strip(); }
  void TypeIntoStructure() {
    state_.panel.SetText({Box::kStructure}, "1234");
    window_->Refresh();
  }
  QString Status() { return window_->status_line()->text(); }

  TemporaryProgramDirectory directory_;
  ProgramState state_;
  NotifyingPlayer player_;
  FluidAudioRenderer renderer_;
  ScriptedErrorReporter errors_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(PlaybackTest, PlayStartsWhereTheSliderStands) {
  strip().slider()->setValue(500);
  player_.log.clear();
  strip().play_button()->click();
  EXPECT_EQ(player_.log, (std::vector<std::string>{"From 100000", "Play"}));
}

TEST_F(PlaybackTest, StatusLineAndSliderFollowThePlayer) {
  StatusUpdate();
  EXPECT_EQ(Status(), "ready");  // open and stopped after a compose

  strip().play_button()->click();
  player_.position_ms = 65432;
  StatusUpdate();
  EXPECT_EQ(Status(), "playing...01:05 of 03:20");
  EXPECT_EQ(strip().slider()->value(), 327);

  // Played to the end: the slider goes back, the line says "stopped".
  player_.mode = kPlayerModeStopped;
  player_.completions.push_back(kNotifySuccessful);
  StatusUpdate();
  EXPECT_EQ(strip().slider()->value(), 0);
  EXPECT_EQ(Status(), "stopped");
  StatusUpdate();
  EXPECT_EQ(Status(), "stopped");
}

TEST_F(PlaybackTest, OnlyASuccessfulCompletionRewindsTheSlider) {
  strip().slider()->setValue(400);
  player_.completions = {kNotifyAborted, kNotifyFailure, kNotifySuperseded};
  StatusUpdate();
  EXPECT_EQ(strip().slider()->value(), 400);
}

TEST_F(PlaybackTest, RewindStopsAndGoesBackToTheStart) {
  strip().play_button()->click();
  player_.position_ms = 100000;
  StatusUpdate();
  ASSERT_EQ(strip().slider()->value(), 500);
  player_.log.clear();
  strip().rewind_button()->click();
  EXPECT_EQ(strip().slider()->value(), 0);
  EXPECT_EQ(player_.log, std::vector<std::string>{"Stop"});
  EXPECT_EQ(player_.mode, kPlayerModeStopped);
}

TEST_F(PlaybackTest, TransportWaitsForAnOpenFile) {
  EXPECT_TRUE(strip().play_button()->isEnabled());
  TypeIntoStructure();
  EXPECT_FALSE(player_.open);  // a change closed it
  EXPECT_FALSE(strip().play_button()->isEnabled());
  EXPECT_FALSE(strip().stop_button()->isEnabled());
  // No status updates come from a closed player: a note stays.
  state_.panel.set_status_text("Note:  Structure must not be all one digit");
  window_->Refresh();
  StatusUpdate();
  EXPECT_EQ(Status(), "Note:  Structure must not be all one digit");
}

}  // namespace
}  // namespace tessavar::testing
