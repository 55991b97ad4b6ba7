#include "engine/score.h"

#include <stdexcept>

namespace tessavar {

void Score::Clear() {
  for (auto& track : tracks_) track.clear();
}

void Score::ThrowOutOfRange() {
  throw std::out_of_range("score slot out of range");
}

std::span<ScoreEvent> Score::Slots(int track, int first, int count) {
  std::vector<ScoreEvent>& events = Track(track);
  if (first < 0 || count < 0) ThrowOutOfRange();
  if (count == 0) return {};
  const size_t end = static_cast<size_t>(first) + static_cast<size_t>(count);
  if (end > events.size()) events.resize(end);
  return std::span<ScoreEvent>(events).subspan(first, count);
}

int Score::SlotCount(int track) const {
  if (track < 0 || track >= kTrackCount) return 0;
  return static_cast<int>(tracks_[track].size());
}

std::span<const ScoreEvent> Score::Events(int track) const {
  if (track < 0 || track >= kTrackCount) return {};
  return tracks_[track];
}

int Score::UsedLength() const {
  int used = 0;
  for (const auto& events : tracks_) {
    for (int slot = static_cast<int>(events.size()) - 1; slot >= used; --slot) {
      if (events[slot].duration > 0) {
        used = slot + 1;
        break;
      }
    }
  }
  return used;
}

}  // namespace tessavar
