#include "engine/score.h"

#include <stdexcept>

namespace tessavar {

void Score::Clear() {
  for (auto& track : tracks_) track.clear();
}

ScoreEvent& Score::At(int track, int slot) {
  if (track < 0 || track >= kTrackCount || slot < 0) {
    throw std::out_of_range("score slot out of range");
  }
  auto& events = tracks_[track];
  if (static_cast<size_t>(slot) >= events.size()) events.resize(slot + 1);
  return events[slot];
}

ScoreEvent Score::Get(int track, int slot) const {
  if (track < 0 || track >= kTrackCount || slot < 0) return {};
  const auto& events = tracks_[track];
  if (static_cast<size_t>(slot) >= events.size()) return {};
  return events[slot];
}

int Score::SlotCount(int track) const {
  if (track < 0 || track >= kTrackCount) return 0;
  return static_cast<int>(tracks_[track].size());
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
