#include "model/roll_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "engine/track_count.h"

namespace tessavar {
namespace {

constexpr int kKeysPerOctave = 12;
constexpr int kMinKeyRows = 2 * kKeysPerOctave;
constexpr int kHighestKey = 127;
// Closest zoom: this many pixels per tick (a quarter note is 96 ticks).
constexpr double kMaxPixelsPerTick = 4.0;
// A drag shorter than this many pixels is a click, not a region.
constexpr int kMinRegionPixels = 4;
constexpr int kPlayheadMarginPixels = 20;
// Bar lines closer than this are thinned out.
constexpr int kMinBarLinePixels = 6;

// One colour per track of the program's own files.
constexpr std::array<uint32_t, kTrackCount> kTrackColours = {
    0xE6194B, 0x3CB44B, 0x4363D8, 0xF58231, 0x911EB4, 0x42D4F4,
    0xF032E6, 0xBFEF45, 0xFABED4, 0x469990, 0xDCBEFF, 0x9A6324,
    0xFFE119, 0x800000, 0xAAFFC3, 0x808000};

}  // namespace

uint32_t TrackColour(int row) {
  return kTrackColours[static_cast<size_t>(std::max(row, 0)) %
                       kTrackColours.size()];
}

void RollModel::SetContent(MidiContent content) {
  content_ = std::move(content);
  reason_.clear();
  mix_.SetTrackCount(track_count());
  ComputeKeyRange();
  ComputeTrackSpans();
  region_ = {};
  playhead_tick_ = 0;
  FitToWindow();
}

void RollModel::SetFailure(std::string reason) {
  SetContent({});
  reason_ = std::move(reason);
}

void RollModel::LoadFile(const std::string& path) {
  if (path.empty()) {
    SetContent({});
    return;
  }
  Result<MidiContent> read = ReadMidiContentFile(path);
  if (!read.ok()) {
    std::string message = read.status().Message();
    SetFailure(message.substr(0, message.find('\n')));
    return;
  }
  SetContent(std::move(read).value());
}

int RollModel::RowOfTrack(int track) const {
  bool leading_conductor =
      !content_.tracks.empty() && content_.tracks.front().notes.empty();
  return leading_conductor ? track - 1 : track;
}

std::vector<int> RollModel::TracksWithNotes() const {
  std::vector<int> tracks;
  for (int t = 0; t < track_count(); ++t) {
    if (!content_.tracks[t].notes.empty()) tracks.push_back(t);
  }
  return tracks;
}

void RollModel::ComputeKeyRange() {
  int low = kHighestKey;
  int high = 0;
  for (const MidiTrack& track : content_.tracks) {
    for (const MidiNote& note : track.notes) {
      low = std::min(low, note.key);
      high = std::max(high, note.key);
    }
  }
  if (low > high) {  // no notes: two octaves around middle C
    low = 48;
    high = 71;
  }
  low_key_ = low / kKeysPerOctave * kKeysPerOctave;
  high_key_ = (high / kKeysPerOctave + 1) * kKeysPerOctave - 1;
  if (high_key_ - low_key_ + 1 < kMinKeyRows) {
    high_key_ = low_key_ + kMinKeyRows - 1;
  }
  high_key_ = std::min(high_key_, kHighestKey);
}

void RollModel::ComputeTrackSpans() {
  longest_note_.assign(content_.tracks.size(), 0);
  for (size_t t = 0; t < content_.tracks.size(); ++t) {
    for (const MidiNote& note : content_.tracks[t].notes) {
      longest_note_[t] = std::max(longest_note_[t], note.end - note.start);
    }
  }
}

void RollModel::SetViewSize(int width, int height) {
  const bool fitted = ticks_per_pixel_ >= MaxTicksPerPixel();
  width_ = std::max(width, kRollKeyGutter + 1);
  height_ = std::max(height, kRollRulerHeight + 1);
  if (fitted) {
    FitToWindow();
  } else {
    ticks_per_pixel_ = std::min(ticks_per_pixel_, MaxTicksPerPixel());
    SetScrollTick(scroll_tick_);
  }
}

int RollModel::NoteAreaWidth() const { return width_ - kRollKeyGutter; }
int RollModel::NoteAreaHeight() const { return height_ - kRollRulerHeight; }

double RollModel::MinTicksPerPixel() const { return 1.0 / kMaxPixelsPerTick; }

double RollModel::MaxTicksPerPixel() const {
  double whole =
      static_cast<double>(std::max<int64_t>(content_.timing.total_ticks(), 1)) /
      NoteAreaWidth();
  return std::max(whole, MinTicksPerPixel());
}

void RollModel::FitToWindow() {
  ticks_per_pixel_ = MaxTicksPerPixel();
  scroll_tick_ = 0;
}

void RollModel::ZoomAt(double factor, int x) {
  if (factor <= 0) return;
  const int64_t anchor = XToTick(x);
  ticks_per_pixel_ = std::clamp(ticks_per_pixel_ / factor, MinTicksPerPixel(),
                                MaxTicksPerPixel());
  SetScrollTick(anchor - static_cast<int64_t>(std::llround(
                             (x - kRollKeyGutter) * ticks_per_pixel_)));
}

void RollModel::ScrollByPixels(int pixels) {
  SetScrollTick(scroll_tick_ +
                static_cast<int64_t>(std::llround(pixels * ticks_per_pixel_)));
}

void RollModel::SetScrollTick(int64_t tick) {
  scroll_tick_ = std::clamp<int64_t>(tick, 0, MaxScrollTick());
}

int64_t RollModel::MaxScrollTick() const {
  const int64_t visible =
      static_cast<int64_t>(std::floor(NoteAreaWidth() * ticks_per_pixel_));
  return std::max<int64_t>(content_.timing.total_ticks() - visible, 0);
}

int64_t RollModel::VisibleEndTick() const {
  return scroll_tick_ +
         static_cast<int64_t>(std::ceil(NoteAreaWidth() * ticks_per_pixel_));
}

double RollModel::TickToX(int64_t tick) const {
  return kRollKeyGutter + (tick - scroll_tick_) / ticks_per_pixel_;
}

int64_t RollModel::XToTick(int x) const {
  const int64_t tick =
      scroll_tick_ +
      static_cast<int64_t>(std::floor((x - kRollKeyGutter) * ticks_per_pixel_));
  return std::clamp<int64_t>(tick, 0, content_.timing.total_ticks());
}

double RollModel::KeyHeight() const {
  return static_cast<double>(NoteAreaHeight()) / (high_key_ - low_key_ + 1);
}

double RollModel::KeyToY(int key) const {
  return kRollRulerHeight + (high_key_ - key) * KeyHeight();
}

int64_t RollModel::BarStride(int min_pixels) const {
  const double bar_pixels =
      std::max<int64_t>(content_.TicksPerBar(), 1) / ticks_per_pixel_;
  int64_t stride = 1;
  while (stride * bar_pixels < min_pixels) stride *= kRollBarsPerMark;
  return stride;
}

std::vector<int64_t> RollModel::VisibleBarTicks() const {
  std::vector<int64_t> bars;
  const int64_t bar = std::max<int64_t>(content_.TicksPerBar(), 1) *
                      BarStride(kMinBarLinePixels);
  const int64_t end = std::min(VisibleEndTick(), content_.timing.total_ticks());
  for (int64_t tick = (scroll_tick_ + bar - 1) / bar * bar; tick <= end;
       tick += bar) {
    bars.push_back(tick);
  }
  return bars;
}

std::vector<int> RollModel::OctaveKeys() const {
  std::vector<int> keys;
  for (int key = low_key_; key <= high_key_; key += kKeysPerOctave) {
    keys.push_back(key);
  }
  return keys;
}

std::string RollModel::KeyName(int key) {
  static constexpr std::array<const char*, kKeysPerOctave> kNames = {
      "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
  return std::string(kNames[key % kKeysPerOctave]) +
         std::to_string(key / kKeysPerOctave - 1);
}

void RollModel::ForEachVisibleNote(
    const std::function<void(int, const MidiNote&)>& fn) const {
  const int64_t first = VisibleStartTick();
  const int64_t last = VisibleEndTick();
  for (int t = 0; t < track_count(); ++t) {
    const std::vector<MidiNote>& notes = content_.tracks[t].notes;
    auto it = std::lower_bound(
        notes.begin(), notes.end(), first - longest_note_[t],
        [](const MidiNote& note, int64_t tick) { return note.start < tick; });
    for (; it != notes.end() && it->start <= last; ++it) {
      if (it->end > first) fn(t, *it);
    }
  }
}

bool RollModel::SetPlayheadMs(int64_t milliseconds) {
  playhead_tick_ = content_.timing.MsToTicks(milliseconds);
  if (!follow_) return false;
  if (playhead_tick_ >= scroll_tick_ && playhead_tick_ < VisibleEndTick()) {
    return false;
  }
  const int64_t before = scroll_tick_;
  SetScrollTick(playhead_tick_ -
                static_cast<int64_t>(kPlayheadMarginPixels * ticks_per_pixel_));
  return scroll_tick_ != before;
}

int64_t RollModel::MsAtX(int x) const {
  return content_.timing.TicksToMs(XToTick(x));
}

void RollModel::SelectLoopRegion(int x1, int x2) {
  if (std::abs(x2 - x1) < kMinRegionPixels) {
    region_ = {};
    return;
  }
  region_ = {XToTick(std::min(x1, x2)), XToTick(std::max(x1, x2))};
}

RollLoop RollModel::LoopTicks() const {
  if (has_region()) return region_;
  return {0, content_.timing.total_ticks()};
}

int64_t RollModel::LoopStartMs() const {
  return content_.timing.TicksToMs(LoopTicks().start_tick);
}

int64_t RollModel::LoopEndMs() const {
  return content_.timing.TicksToMs(LoopTicks().end_tick);
}

}  // namespace tessavar
