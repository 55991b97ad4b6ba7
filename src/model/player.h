// The MIDI file player as the program uses it: the operations and
// notifications of a sequencer control. The desktop program plays through
// FluidSynth; tests use a double.
#ifndef TESSAVAR_MODEL_PLAYER_H_
#define TESSAVAR_MODEL_PLAYER_H_

#include <cstdint>
#include <string>
#include <vector>

namespace tessavar {

inline constexpr int kPlayerModeStopped = 525;
inline constexpr int kPlayerModePlaying = 526;
inline constexpr int kPlayerModeNotOpen = 524;
inline constexpr int kPlayerModePaused = 529;

// Notification codes of a completed command.
inline constexpr int kNotifySuccessful = 1;
inline constexpr int kNotifySuperseded = 2;
inline constexpr int kNotifyAborted = 4;
inline constexpr int kNotifyFailure = 8;

class Player {
 public:
  virtual ~Player() = default;

  // Releases the open file so that it can be rewritten; harmless when
  // nothing is open.
  virtual void Close() = 0;
  virtual void SetFileName(const std::string& path) = 0;
  virtual std::string FileName() const = 0;
  // Opens the file named before; false when it cannot be opened.
  virtual bool Open() = 0;
  // Start position for the next Play, in milliseconds.
  virtual void SetFrom(int64_t milliseconds) = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  // Pauses while playing, resumes while paused.
  virtual void Pause() {}
  // Tracks of the file (by track chunk) that play silenced, from now on and
  // for the files opened later; an empty list silences none.
  virtual void SetSilentTracks(const std::vector<bool>& /*silent*/) {}
  // From now on playback that reaches end_ms goes on at start_ms; end_ms <=
  // start_ms plays to the end of the file as usual.
  virtual void SetLoop(int64_t /*start_ms*/, int64_t /*end_ms*/) {}

  virtual int Mode() const = 0;
  virtual int64_t LengthMs() const = 0;
  virtual int64_t PositionMs() const = 0;

  // Notifications, polled by the window: the code of the next completed
  // command (kNotifySuccessful when playing reached the end of the file),
  // or 0 when none is pending.
  virtual int TakeCompletion() { return 0; }
  // A message for the status line that is given once (for example that no
  // audio device could be opened), or empty.
  virtual std::string TakeNotice() { return {}; }
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PLAYER_H_
