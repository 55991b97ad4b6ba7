#include "engine/random_stream.h"

#include <bit>

namespace tessavar {

void RandomStream::Step() {
  // Unsigned 32-bit arithmetic wraps modulo 2^32, which keeps the product
  // exact modulo 2^24.
  state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & kMask;
}

double RandomStream::NextRandom() {
  Step();
  return static_cast<double>(state_) / 16777216.0;
}

void RandomStream::RestartRandom(double x) {
  if (x == 0.0) return;
  uint32_t b = std::bit_cast<uint32_t>(static_cast<float>(x));
  state_ = (b + (b >> 24)) & kMask;
  Step();
}

void RandomStream::MixRandom(double x) {
  uint64_t bits = std::bit_cast<uint64_t>(x);
  uint32_t h = static_cast<uint32_t>(bits >> 32);
  uint32_t m = (h ^ (h >> 16)) & 0xFFFF;
  state_ = (state_ & 0xFF) | (m << 8);
}

}  // namespace tessavar
