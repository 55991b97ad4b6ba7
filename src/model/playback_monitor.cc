#include "model/playback_monitor.h"

#include <algorithm>

#include "base/text.h"

namespace tessavar {

int SliderForPosition(int64_t position_ms, int64_t length_ms) {
  if (length_ms <= 0) return 0;
  int64_t value =
      kPlaySliderMax * std::max<int64_t>(position_ms, 0) / length_ms;
  return static_cast<int>(std::min<int64_t>(value, kPlaySliderMax));
}

int64_t StartPositionForSlider(int slider, int64_t length_ms) {
  int64_t product = static_cast<int64_t>(slider) * length_ms;
  int64_t whole = product / kPlaySliderMax;
  int64_t rest = product % kPlaySliderMax;
  if (rest * 2 > kPlaySliderMax ||
      (rest * 2 == kPlaySliderMax && whole % 2 != 0)) {
    ++whole;
  }
  return whole;
}

std::string FormatPlayingTime(int64_t milliseconds) {
  constexpr int64_t kMsPerMinute = 60000;
  constexpr int64_t kMinutesPerHour = 60;
  const int64_t minutes = milliseconds / kMsPerMinute;
  const std::string seconds = TwoDigits(milliseconds % kMsPerMinute / 1000);
  if (minutes < kMinutesPerHour) return TwoDigits(minutes) + ":" + seconds;
  return std::to_string(minutes / kMinutesPerHour) + ":" +
         TwoDigits(minutes % kMinutesPerHour) + ":" + seconds;
}

std::string PlayingStatusText(int64_t position_ms, int64_t length_ms) {
  return kPlayingPrefix + FormatPlayingTime(position_ms) + " of " +
         FormatPlayingTime(length_ms);
}

std::string PausedStatusText(int64_t position_ms, int64_t length_ms) {
  return kPausedPrefix + FormatPlayingTime(position_ms) + " of " +
         FormatPlayingTime(length_ms);
}

void PlaybackMonitor::Poll() {
  for (int code = player_.TakeCompletion(); code != 0;
       code = player_.TakeCompletion()) {
    CommandCompleted(code);
  }
  std::string notice = player_.TakeNotice();
  if (!notice.empty()) {
    notice_ = notice;
    // Long enough to be read; after that the line says what playback does
    // (a notice about playing silently is stale once nothing plays).
    notice_polls_ = kNoticePolls;
    state_.panel.set_status_text(notice);
  }
  StatusUpdate();
}

void PlaybackMonitor::StatusUpdate() {
  int mode = player_.Mode();
  if (mode == kPlayerModePlaying) {
    state_.play_slider =
        SliderForPosition(player_.PositionMs(), player_.LengthMs());
  }
  const std::string& status = state_.panel.status_text();
  if (notice_polls_ > 0 && status == notice_) {
    --notice_polls_;
    return;
  }
  notice_.clear();
  notice_polls_ = 0;
  if (mode == kPlayerModePlaying) {
    state_.panel.set_status_text(
        PlayingStatusText(player_.PositionMs(), player_.LengthMs()));
  } else if (mode == kPlayerModeStopped) {
    bool was_playing =
        status.starts_with(kPlayingPrefix) || status.starts_with(kStoppedText);
    state_.panel.set_status_text(was_playing ? kStoppedText : kReadyText);
  } else if (mode == kPlayerModePaused) {
    state_.panel.set_status_text(
        PausedStatusText(player_.PositionMs(), player_.LengthMs()));
  } else {
    state_.panel.set_status_text("");
  }
}

void PlaybackMonitor::CommandCompleted(int code) {
  if (code == kNotifySuccessful) state_.play_slider = 0;
}

void PlaybackMonitor::PlayPressed() {
  player_.SetFrom(
      StartPositionForSlider(state_.play_slider, player_.LengthMs()));
  player_.Play();
}

void PlaybackMonitor::PlayPausePressed() {
  int mode = player_.Mode();
  if (mode == kPlayerModePlaying || mode == kPlayerModePaused) {
    player_.Pause();
  } else if (mode == kPlayerModeStopped) {
    PlayPressed();
  }
}

void PlaybackMonitor::SeekTo(int64_t milliseconds) {
  int64_t length = player_.LengthMs();
  int64_t position = std::clamp<int64_t>(milliseconds, 0, length);
  state_.play_slider = SliderForPosition(position, length);
  player_.SetFrom(position);
  if (player_.Mode() == kPlayerModePlaying) player_.Play();
}

int64_t PlaybackMonitor::PlayheadMs() const {
  int mode = player_.Mode();
  if (mode == kPlayerModePlaying || mode == kPlayerModePaused) {
    return player_.PositionMs();
  }
  return StartPositionForSlider(state_.play_slider, player_.LengthMs());
}

void PlaybackMonitor::StopAndRewindPressed() {
  state_.play_slider = 0;
  player_.Stop();
}

}  // namespace tessavar
