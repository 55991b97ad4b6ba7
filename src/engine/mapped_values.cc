#include "engine/mapped_values.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "engine/mapped_parameter_rows.h"
#include "engine/text_number.h"

namespace tessavar {

const bool* SwitchFlag(const OptionFlags& flags, MappedParameter parameter) {
  bool OptionFlags::*flag = MappedRow(parameter).switch_flag;
  return flag == nullptr ? nullptr : &(flags.*flag);
}

bool* SwitchFlag(OptionFlags& flags, MappedParameter parameter) {
  return const_cast<bool*>(SwitchFlag(std::as_const(flags), parameter));
}

MappedBoxValues BoxValuesFromChoices(const OptionFlags& flags,
                                     const FeatureChoices& choices) {
  MappedBoxValues values;
  for (int k = 0; k < kMappedParameterCount; ++k) {
    const bool* flag = SwitchFlag(flags, static_cast<MappedParameter>(k));
    values.values[k] = flag != nullptr && !*flag ? 0 : choices.m.values[k] + 1;
  }
  return values;
}

void ApplyBoxValues(const MappedArray<double>& values, OptionFlags& flags,
                    FeatureChoices& choices) {
  for (int k = 0; k < kMappedParameterCount; ++k) {
    const double value = values.values[k];
    const int index =
        ToInt(std::clamp<int64_t>(CInt(value - 1), 0, kFeatureCount - 1));
    bool* flag = SwitchFlag(flags, static_cast<MappedParameter>(k));
    if (flag == nullptr) {
      choices.m.values[k] = index;
    } else if (value > 0) {
      choices.m.values[k] = index;
      *flag = true;
    } else {
      *flag = false;
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
