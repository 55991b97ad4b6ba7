// The 14 mapped parameters: the musical decisions that the panel's mapped
// boxes tie to a feature of the structure digits. The order is the box
// order of the panel and of the composition files.
#ifndef TESSAVAR_ENGINE_MAPPED_PARAMETER_H_
#define TESSAVAR_ENGINE_MAPPED_PARAMETER_H_

#include <array>

namespace tessavar {

enum class MappedParameter {
  kActiveVoices,
  kPeriodLength,
  kPeriodRepeat,
  kPhraseLength,
  kCurrentKey,
  kNotePitch,
  kNoteDuration,
  kGlissando,
  kPointillism,
  kRhythm,
  kPhraseMirror,
  kRhythmTrack,
  kDynamics,
  kCompression,
};

inline constexpr int kMappedParameterCount = 14;

constexpr int MappedIndex(MappedParameter parameter) {
  return static_cast<int>(parameter);
}
static_assert(MappedIndex(MappedParameter::kCompression) + 1 ==
              kMappedParameterCount);

// One value per mapped parameter, indexed by the parameter (or by its box
// index where code walks all of them).
template <typename T>
struct MappedArray {
  std::array<T, kMappedParameterCount> values{};

  T& operator[](MappedParameter parameter) {
    return values[MappedIndex(parameter)];
  }
  const T& operator[](MappedParameter parameter) const {
    return values[MappedIndex(parameter)];
  }
  friend bool operator==(const MappedArray&, const MappedArray&) = default;
};

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_MAPPED_PARAMETER_H_
