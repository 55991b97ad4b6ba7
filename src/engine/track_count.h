// How many tracks a composition has at most: the panel's track rows, the
// score's tracks and the MIDI file's tracks.
#ifndef TESSAVAR_ENGINE_TRACK_COUNT_H_
#define TESSAVAR_ENGINE_TRACK_COUNT_H_

namespace tessavar {

inline constexpr int kTrackCount = 16;

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_TRACK_COUNT_H_
