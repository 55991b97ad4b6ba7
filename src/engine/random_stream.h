// The engine's single deterministic pseudo-random stream. Its exact
// definition is part of the file format in a wider sense: the same
// parameters must give the same music on every machine.
#ifndef TESSAVAR_ENGINE_RANDOM_STREAM_H_
#define TESSAVAR_ENGINE_RANDOM_STREAM_H_

#include <cstdint>

namespace tessavar {

class RandomStream {
 public:
  static constexpr uint32_t kInitialState = 0x50000;

  // Steps the generator and returns the new state as a value in [0, 1).
  double NextRandom();
  // Restarts the stream from x (nothing happens for x = 0).
  void RestartRandom(double x);
  // Mixes x into the current state.
  void MixRandom(double x);

  uint32_t state() const { return state_; }
  void set_state(uint32_t state) { state_ = state & kMask; }

 private:
  static constexpr uint32_t kMask = 0xFFFFFF;
  void Step();

  uint32_t state_ = kInitialState;
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_RANDOM_STREAM_H_
