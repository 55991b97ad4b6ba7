#include "engine/mapped_values.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "engine/text_number.h"

namespace tessavar {

const int* SwitchFlag(const OptionFlags& flags, MappedParameter parameter) {
  switch (parameter) {
    case MappedParameter::kPeriodRepeat:
      return &flags.repeat;
    case MappedParameter::kGlissando:
      return &flags.glissando;
    case MappedParameter::kPointillism:
      return &flags.pointillism;
    case MappedParameter::kRhythm:
      return &flags.rhythm;
    case MappedParameter::kPhraseMirror:
      return &flags.mirror;
    case MappedParameter::kDynamics:
      return &flags.dynamics;
    case MappedParameter::kCompression:
      return &flags.compression;
    default:
      return nullptr;
  }
}

int* SwitchFlag(OptionFlags& flags, MappedParameter parameter) {
  return const_cast<int*>(SwitchFlag(std::as_const(flags), parameter));
}

MappedBoxValues BoxValuesFromChoices(const OptionFlags& flags,
                                     const FeatureChoices& choices) {
  MappedBoxValues values;
  for (int k = 0; k < kMappedParameterCount; ++k) {
    const int* flag = SwitchFlag(flags, static_cast<MappedParameter>(k));
    values.values[k] =
        flag != nullptr && *flag == 0 ? 0 : choices.m.values[k] + 1;
  }
  return values;
}

void ApplyBoxValues(const MappedArray<double>& values, OptionFlags& flags,
                    FeatureChoices& choices) {
  for (int k = 0; k < kMappedParameterCount; ++k) {
    const double value = values.values[k];
    const int index =
        ToInt(std::clamp<int64_t>(CInt(value - 1), 0, kFeatureCount - 1));
    int* flag = SwitchFlag(flags, static_cast<MappedParameter>(k));
    if (flag == nullptr) {
      choices.m.values[k] = index;
    } else if (value > 0) {
      choices.m.values[k] = index;
      *flag = 1;
    } else {
      *flag = 0;
    }
  }
}

MappedArray<double> ReadBackBoxValues(const MappedBoxValues& values) {
  MappedArray<double> numbers;
  for (int k = 0; k < kMappedParameterCount; ++k) {
    numbers.values[k] = values.values[k];
  }
  return numbers;
}

}  // namespace tessavar
