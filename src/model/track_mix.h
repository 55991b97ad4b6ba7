// Mute and solo per track of the file in the player: which tracks are heard
// in playback and in an exported render. The composition and its MIDI file
// never change; the player and the renderer silence the tracks in a copy.
#ifndef TESSAVAR_MODEL_TRACK_MIX_H_
#define TESSAVAR_MODEL_TRACK_MIX_H_

#include <algorithm>
#include <vector>

namespace tessavar {

class TrackMix {
 public:
  // A new file: the states are kept when it has as many tracks as the last.
  void SetTrackCount(int count) {
    if (count == track_count()) return;
    muted_.assign(count, false);
    soloed_.assign(count, false);
  }
  int track_count() const { return static_cast<int>(muted_.size()); }

  bool muted(int track) const { return Valid(track) && muted_[track]; }
  bool soloed(int track) const { return Valid(track) && soloed_[track]; }
  void SetMuted(int track, bool on) {
    if (Valid(track)) muted_[track] = on;
  }
  void SetSoloed(int track, bool on) {
    if (Valid(track)) soloed_[track] = on;
  }

  // Heard: not muted, and soloed when any track is.
  bool Audible(int track) const {
    if (muted(track)) return false;
    bool any_solo =
        std::find(soloed_.begin(), soloed_.end(), true) != soloed_.end();
    return !any_solo || soloed(track);
  }

  // One entry per track, true for those not heard.
  std::vector<bool> SilentTracks() const {
    std::vector<bool> silent(muted_.size());
    for (int t = 0; t < track_count(); ++t) silent[t] = !Audible(t);
    return silent;
  }

 private:
  bool Valid(int track) const { return track >= 0 && track < track_count(); }

  std::vector<bool> muted_;
  std::vector<bool> soloed_;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_TRACK_MIX_H_
