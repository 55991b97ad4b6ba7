#include "model/playback_monitor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "support/fake_player.h"

namespace tessavar {
namespace {

using testing::FakePlayer;

class PlaybackMonitorTest : public ::testing::Test {
 protected:
  void SetPlaying(int64_t position, int64_t length) {
    player_.open = true;
    player_.mode = kPlayerModePlaying;
    player_.position_ms = position;
    player_.length_ms = length;
  }
  const std::string& Status() const { return state_.panel.status_text(); }

  FakePlayer player_;
  ProgramState state_;
  PlaybackMonitor monitor_{player_, state_};
};

TEST_F(PlaybackMonitorTest, PlayingFollowsPositionInSliderAndStatusLine) {
  SetPlaying(65432, 200000);
  monitor_.Poll();
  EXPECT_EQ(state_.play_slider, 327);
  EXPECT_EQ(Status(), "playing...01:05 of 03:20");

  SetPlaying(199999, 200000);
  monitor_.Poll();
  EXPECT_EQ(state_.play_slider, 999);  // the integer part, not rounded
  EXPECT_EQ(Status(), "playing...03:19 of 03:20");
}

TEST_F(PlaybackMonitorTest, FromAnHourOnTheTimeShowsHours) {
  EXPECT_EQ(FormatPlayingTime(0), "00:00");
  EXPECT_EQ(FormatPlayingTime(59999), "00:59");
  EXPECT_EQ(FormatPlayingTime(60 * 60 * 1000 - 1), "59:59");
  EXPECT_EQ(FormatPlayingTime(60 * 60 * 1000), "1:00:00");
  EXPECT_EQ(FormatPlayingTime((125 * 60 + 3) * 1000 + 999), "2:05:03");
  EXPECT_EQ(FormatPlayingTime(((10 * 60 + 1) * 60 + 2) * 1000), "10:01:02");
  SetPlaying((61 * 60 + 5) * 1000, ((2 * 60 + 17) * 60 + 39) * 1000);
  monitor_.Poll();
  EXPECT_EQ(Status(), "playing...1:01:05 of 2:17:39");
  player_.mode = kPlayerModePaused;
  monitor_.Poll();
  EXPECT_EQ(Status(), "paused at 1:01:05 of 2:17:39");
}

TEST_F(PlaybackMonitorTest, SliderStaysRightBeyondThirtyFiveMinutes) {
  // 1000 x P passes 2^31 from about 35.8 minutes on.
  SetPlaying(2400000, 3000000);
  monitor_.Poll();
  EXPECT_EQ(state_.play_slider, 800);
  SetPlaying(7199999, 7200000);  // two hours
  monitor_.Poll();
  EXPECT_EQ(state_.play_slider, 999);
  EXPECT_EQ(SliderForPosition(2147484, 2147484), 1000);
  EXPECT_EQ(SliderForPosition(5, 0), 0);  // an empty file
}

TEST_F(PlaybackMonitorTest, PlayStartsWhereTheSliderStands) {
  player_.open = true;
  player_.mode = kPlayerModeStopped;
  player_.length_ms = 200000;
  state_.play_slider = 500;
  monitor_.PlayPressed();
  EXPECT_EQ(player_.log, (std::vector<std::string>{"From 100000", "Play"}));
  EXPECT_EQ(player_.mode, kPlayerModePlaying);

  player_.log.clear();
  state_.play_slider = 1000;
  monitor_.PlayPressed();
  EXPECT_EQ(player_.from, 200000);  // the end

  // Rounded to a whole millisecond, halves to even.
  EXPECT_EQ(StartPositionForSlider(333, 1001), 333);  // 333.333
  EXPECT_EQ(StartPositionForSlider(667, 1001), 668);  // 667.667
  EXPECT_EQ(StartPositionForSlider(1, 500), 0);       // 0.5
  EXPECT_EQ(StartPositionForSlider(3, 500), 2);       // 1.5
  EXPECT_EQ(StartPositionForSlider(999, 7200000), 7192800);
}

TEST(StartPositionTest, IsTheShareOfTheLengthRoundedExactly) {
  // 0.7 x 45 is 31.5 exactly; 700 / 1000.0 x 45 in doubles falls below it
  // and would give 31.
  EXPECT_EQ(StartPositionForSlider(700, 45), 32);
  EXPECT_EQ(StartPositionForSlider(900, 45), 40);  // 40.5
  // Every result is the nearest whole number, halves to even.
  for (int64_t length = 0; length <= 250; ++length) {
    for (int slider = 0; slider <= kPlaySliderMax; ++slider) {
      const int64_t start = StartPositionForSlider(slider, length);
      const int64_t error = start * kPlaySliderMax - slider * length;
      ASSERT_LE(std::abs(error) * 2, kPlaySliderMax) << slider << " " << length;
      if (std::abs(error) * 2 == kPlaySliderMax) {
        ASSERT_EQ(start % 2, 0) << slider << " " << length;
      }
    }
  }
}

TEST_F(PlaybackMonitorTest, OnlyASuccessfulCompletionRewindsTheSlider) {
  player_.open = true;
  player_.mode = kPlayerModeStopped;
  state_.play_slider = 640;
  for (int code : {kNotifySuperseded, kNotifyAborted, kNotifyFailure}) {
    player_.completions.push_back(code);
    monitor_.Poll();
    EXPECT_EQ(state_.play_slider, 640) << "code " << code;
  }
  player_.completions.push_back(kNotifySuccessful);
  monitor_.Poll();
  EXPECT_EQ(state_.play_slider, 0);
}

TEST_F(PlaybackMonitorTest, EndOfPlayTurnsPlayingIntoStopped) {
  SetPlaying(199000, 200000);
  monitor_.Poll();
  EXPECT_EQ(state_.play_slider, 995);
  // The player reached the end: stopped, with a successful completion.
  player_.mode = kPlayerModeStopped;
  player_.position_ms = 200000;
  player_.completions.push_back(kNotifySuccessful);
  monitor_.Poll();
  EXPECT_EQ(Status(), "stopped");
  EXPECT_EQ(state_.play_slider, 0);
  monitor_.Poll();
  EXPECT_EQ(Status(), "stopped");
}

TEST_F(PlaybackMonitorTest, StoppedAfterSomethingElseShowsReady) {
  player_.open = true;
  player_.mode = kPlayerModeStopped;
  state_.play_slider = 250;  // moved by the user while stopped
  monitor_.Poll();           // after a compose the line is empty
  EXPECT_EQ(Status(), "ready");
  state_.panel.set_status_text("Composing...done");
  monitor_.Poll();
  EXPECT_EQ(Status(), "ready");
  EXPECT_EQ(state_.play_slider, 250);  // kept until the next play
}

TEST_F(PlaybackMonitorTest, PausedShowsPausedOtherModesEmptyTheLine) {
  for (int mode : {kPlayerModeNotOpen, kPlayerModePaused, 530}) {
    state_.panel.set_status_text("playing...00:01 of 00:02");
    player_.mode = mode;
    monitor_.Poll();
    EXPECT_EQ(Status(),
              mode == kPlayerModePaused ? "paused at 00:00 of 00:00" : "")
        << "mode " << mode;
  }
}

TEST_F(PlaybackMonitorTest, StopAndRewindZeroesTheSliderAndStops) {
  SetPlaying(100000, 200000);
  monitor_.Poll();
  monitor_.StopAndRewindPressed();
  EXPECT_EQ(state_.play_slider, 0);
  EXPECT_EQ(player_.log.back(), "Stop");
  EXPECT_EQ(player_.mode, kPlayerModeStopped);
}

// Read for a few seconds, whether playing or not; then the line says
// what playback does, and nothing stale stays while nothing plays.
TEST_F(PlaybackMonitorTest, ANoticeIsReadableThenGivesWayToTheState) {
  for (int mode : {kPlayerModeStopped, kPlayerModePlaying}) {
    SetPlaying(1000, 2000);
    player_.mode = mode;
    player_.notice = "no audio device - playing silently";
    for (int poll = 0; poll < kNoticePolls; ++poll) {
      monitor_.Poll();
      EXPECT_EQ(Status(), "no audio device - playing silently") << poll;
    }
    monitor_.Poll();
    EXPECT_EQ(Status(), mode == kPlayerModeStopped
                            ? "ready"
                            : "playing...00:01 of 00:02");
  }
  player_.mode = kPlayerModeStopped;
  monitor_.Poll();
  EXPECT_EQ(Status(), "stopped");  // the notice was given once
}

TEST_F(PlaybackMonitorTest, NoticeGivesWayToAnotherText) {
  player_.open = true;
  player_.mode = kPlayerModeStopped;
  player_.notice = "SoundFont not found: x.sf2";
  monitor_.Poll();
  state_.panel.set_status_text("");  // MarkScoreStale
  monitor_.Poll();
  EXPECT_EQ(Status(), "ready");
}

TEST_F(PlaybackMonitorTest, PlayheadFollowsThePositionOrTheSlider) {
  SetPlaying(65432, 200000);
  EXPECT_EQ(monitor_.PlayheadMs(), 65432);
  player_.position_ms = 70000;
  EXPECT_EQ(monitor_.PlayheadMs(), 70000);
  player_.mode = kPlayerModePaused;
  EXPECT_EQ(monitor_.PlayheadMs(), 70000);
  player_.mode = kPlayerModeStopped;
  state_.play_slider = 250;
  EXPECT_EQ(monitor_.PlayheadMs(), 50000);
}

TEST_F(PlaybackMonitorTest, SeekPlaysOnWhilePlayingElseMovesTheStart) {
  SetPlaying(1000, 200000);
  monitor_.SeekTo(150000);
  EXPECT_EQ(player_.log, (std::vector<std::string>{"From 150000", "Play"}));
  EXPECT_EQ(state_.play_slider, 750);
  player_.log.clear();
  player_.mode = kPlayerModeStopped;
  monitor_.SeekTo(500000);  // clamped to the length
  EXPECT_EQ(player_.log, (std::vector<std::string>{"From 200000"}));
  EXPECT_EQ(state_.play_slider, 1000);
}

TEST_F(PlaybackMonitorTest, SpacePlaysPausesAndResumes) {
  SetPlaying(0, 200000);
  player_.mode = kPlayerModeStopped;
  state_.play_slider = 500;
  monitor_.PlayPausePressed();
  EXPECT_EQ(player_.mode, kPlayerModePlaying);
  EXPECT_EQ(player_.from, 100000);
  monitor_.PlayPausePressed();
  EXPECT_EQ(player_.mode, kPlayerModePaused);
  monitor_.PlayPausePressed();
  EXPECT_EQ(player_.mode, kPlayerModePlaying);
  player_.Close();
  player_.log.clear();
  monitor_.PlayPausePressed();  // nothing open: nothing happens
  EXPECT_TRUE(player_.log.empty());
}

}  // namespace
}  // namespace tessavar
