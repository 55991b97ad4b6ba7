// The piano roll of the file in the player, without any toolkit: the notes
// read from the file, the mapping of ticks to x and keys to y with zoom and
// scroll, the bar lines and octave labels in view, the playhead, the loop
// region and the tracks' mute and solo states. The window's roll and the
// picture drawn by the command line both paint from it.
#ifndef TESSAVAR_MODEL_ROLL_MODEL_H_
#define TESSAVAR_MODEL_ROLL_MODEL_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "midi/midi_reader.h"
#include "model/track_mix.h"

namespace tessavar {

// Room left of the notes for the octave labels and above them for the bar
// numbers, in pixels.
inline constexpr int kRollKeyGutter = 34;
inline constexpr int kRollRulerHeight = 16;
// Every this many bars the bar line is drawn stronger and numbered.
inline constexpr int kRollBarsPerMark = 4;

// One colour per orchestration row, 0xRRGGBB; rows past the table repeat it.
uint32_t TrackColour(int row);

struct RollLoop {
  int64_t start_tick = 0;
  int64_t end_tick = 0;
};

class RollModel {
 public:
  // A file read: shows all of it.
  void SetContent(MidiContent content);
  // A file that could not be read: an empty roll with the one-line reason.
  void SetFailure(std::string reason);
  // Reads the file in the player (empty path = no file: an empty roll).
  void LoadFile(const std::string& path);

  bool has_notes() const { return content_.NoteCount() > 0; }
  const std::string& reason() const { return reason_; }
  const MidiContent& content() const { return content_; }
  int track_count() const { return static_cast<int>(content_.tracks.size()); }
  // The orchestration row of a track (a leading track without notes, the
  // tempo track of the program's files, has none: -1).
  int RowOfTrack(int track) const;
  // Tracks that hold notes, in file order: the legend's entries.
  std::vector<int> TracksWithNotes() const;

  TrackMix& mix() { return mix_; }
  const TrackMix& mix() const { return mix_; }

  // --- View ----------------------------------------------------------------
  // The size of the whole roll in pixels (gutter and ruler included).
  void SetViewSize(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }
  int NoteAreaWidth() const;
  int NoteAreaHeight() const;

  double ticks_per_pixel() const { return ticks_per_pixel_; }
  int64_t scroll_tick() const { return scroll_tick_; }
  // The whole piece across the width.
  void FitToWindow();
  // Zoom by a factor (> 1 = closer) keeping the tick under x in place.
  void ZoomAt(double factor, int x);
  // Scrolls by a number of pixels (positive = later), kept in the piece.
  void ScrollByPixels(int pixels);
  void SetScrollTick(int64_t tick);
  int64_t MaxScrollTick() const;
  int64_t VisibleStartTick() const { return scroll_tick_; }
  int64_t VisibleEndTick() const;

  double TickToX(int64_t tick) const;
  int64_t XToTick(int x) const;
  int low_key() const { return low_key_; }
  int high_key() const { return high_key_; }
  double KeyHeight() const;
  // The top of the key's row.
  double KeyToY(int key) const;

  // The bars between two lines drawn at least min_pixels apart: 1, 4, 16...
  int64_t BarStride(int min_pixels) const;
  // Bar starts in view (every BarStride-th when zoomed out), and the keys C
  // of every octave in range.
  std::vector<int64_t> VisibleBarTicks() const;
  std::vector<int> OctaveKeys() const;
  // "C4" for key 60.
  static std::string KeyName(int key);

  // Calls fn(track, note) for the notes that overlap the visible ticks.
  void ForEachVisibleNote(
      const std::function<void(int, const MidiNote&)>& fn) const;

  // --- Playhead and loop ---------------------------------------------------
  // The playing position; when following and it leaves the view, the view
  // pages on so that it shows again. True when the view moved.
  bool SetPlayheadMs(int64_t milliseconds);
  int64_t playhead_tick() const { return playhead_tick_; }
  void set_follow(bool follow) { follow_ = follow; }
  // The position in milliseconds under x (for a click that seeks).
  int64_t MsAtX(int x) const;

  void SetLoopEnabled(bool enabled) { loop_enabled_ = enabled; }
  bool loop_enabled() const { return loop_enabled_; }
  // A region selected on the roll between two x positions; one too short to
  // be meant (a click) selects none, and the whole piece loops.
  void SelectLoopRegion(int x1, int x2);
  void ClearLoopRegion() { region_ = {}; }
  bool has_region() const { return region_.end_tick > region_.start_tick; }
  // What repeats: the region, or the whole piece without one.
  RollLoop LoopTicks() const;
  int64_t LoopStartMs() const;
  int64_t LoopEndMs() const;

 private:
  void ComputeKeyRange();
  void ComputeTrackSpans();
  double MinTicksPerPixel() const;
  double MaxTicksPerPixel() const;

  MidiContent content_;
  std::string reason_;
  TrackMix mix_;
  // The longest note of each track, to find the notes that started before
  // the view but still sound in it.
  std::vector<int64_t> longest_note_;
  int width_ = 600;
  int height_ = 240;
  double ticks_per_pixel_ = 1.0;
  int64_t scroll_tick_ = 0;
  int low_key_ = 48;
  int high_key_ = 83;
  int64_t playhead_tick_ = 0;
  bool follow_ = true;
  bool loop_enabled_ = false;
  RollLoop region_;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_ROLL_MODEL_H_
