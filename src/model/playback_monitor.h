// The program's side of playback: the position slider and the status line
// follow the player, and the transport buttons' responses. The window calls
// Poll about every 250 ms and forwards the play and stop-and-rewind buttons.
#ifndef TESSAVAR_MODEL_PLAYBACK_MONITOR_H_
#define TESSAVAR_MODEL_PLAYBACK_MONITOR_H_

#include <cstdint>
#include <string>

#include "model/player.h"
#include "model/program_state.h"

namespace tessavar {

inline constexpr int kPlaySliderMax = 1000;
inline constexpr char kPlayingPrefix[] = "playing...";
inline constexpr char kStoppedText[] = "stopped";
inline constexpr char kReadyText[] = "ready";
inline constexpr char kPausedPrefix[] = "paused at ";
// Polls (about three seconds) that a notice from the player stays in the
// status line before the state of playback takes its place again.
inline constexpr int kNoticePolls = 12;

// The slider value for a position: the integer part of 1000 x P / D, in
// 64-bit arithmetic so that files longer than 35 minutes work; 0 for an
// empty file.
int SliderForPosition(int64_t position_ms, int64_t length_ms);

// Where playback starts for a slider value (0..1000) and a length of at
// least 0: slider / 1000 x length, rounded to a whole millisecond with
// halves to even, as the program rounds everywhere. Computed exactly in
// 64-bit integers (the product, then the quotient rounded by its
// remainder): in floating point slider / 1000 is inexact, so a position that
// lies exactly halfway (700 on a 45 ms file: 31.5) could round the wrong way.
int64_t StartPositionForSlider(int slider, int64_t length_ms);

// mm:ss, or h:mm:ss from one hour on.
std::string FormatPlayingTime(int64_t milliseconds);

// "playing...01:05 of 03:20"
std::string PlayingStatusText(int64_t position_ms, int64_t length_ms);
// "paused at 01:05 of 03:20"
std::string PausedStatusText(int64_t position_ms, int64_t length_ms);

class PlaybackMonitor {
 public:
  PlaybackMonitor(Player& player, ProgramState& state)
      : player_(player), state_(state) {}

  // The window's periodic call: delivers the player's pending completion
  // notifications and its notice, then makes the status update.
  void Poll();

  // Status update: slider and status line from the player's mode,
  // position and length.
  void StatusUpdate();
  // Command completed: code 1 (played to the end) rewinds the slider.
  void CommandCompleted(int code);
  // The play button: playback starts where the slider stands.
  void PlayPressed();
  // The stop-and-rewind button: slider to 0, then Stop.
  void StopAndRewindPressed();
  // Space: pauses while playing, resumes while paused, else plays.
  void PlayPausePressed();
  // A click on the roll or a slider released: playing goes on from there;
  // otherwise the next play starts there.
  void SeekTo(int64_t milliseconds);
  // Where the playhead stands: the playing (or paused) position, else where
  // the next play starts.
  int64_t PlayheadMs() const;

 private:
  Player& player_;
  ProgramState& state_;
  // A notice from the player stays in the status line for kNoticePolls
  // polls unless the line is given another text; otherwise the next status
  // update would replace it at once.
  std::string notice_;
  int notice_polls_ = 0;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PLAYBACK_MONITOR_H_
