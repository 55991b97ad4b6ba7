// The engine's voice value: n pitch codes and n duration codes (in half
// score units). Pitch code 127 is a rest. Codes are plain ints because
// durations grow well past 127 (cadences after meter fitting) and a passing
// note before a rest takes (p + 127) / 2.
#ifndef TESSAVAR_ENGINE_VOICE_STRING_H_
#define TESSAVAR_ENGINE_VOICE_STRING_H_

#include <cstddef>
#include <vector>

namespace tessavar {

inline constexpr int kRestCode = 127;

struct VoiceString {
  std::vector<int> pitches;
  std::vector<int> durations;

  VoiceString() = default;
  VoiceString(std::vector<int> p, std::vector<int> d)
      : pitches(std::move(p)), durations(std::move(d)) {}

  // Number of notes (pitch and duration parts always have equal length).
  size_t size() const { return pitches.size(); }
  bool empty() const { return pitches.empty(); }
  void clear() {
    pitches.clear();
    durations.clear();
  }
  void Append(int pitch, int duration) {
    pitches.push_back(pitch);
    durations.push_back(duration);
  }
  // Notes whose pitch is not a rest and whose duration is above 0.
  size_t SoundingNotes() const {
    size_t count = 0;
    for (size_t i = 0; i < size(); ++i) {
      if (pitches[i] != kRestCode && durations[i] > 0) ++count;
    }
    return count;
  }
  int TotalDuration() const {
    int total = 0;
    for (int d : durations) total += d;
    return total;
  }

  friend bool operator==(const VoiceString&, const VoiceString&) = default;
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_VOICE_STRING_H_
