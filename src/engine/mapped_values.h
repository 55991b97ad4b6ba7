// The mapped values between the composer's draws and the panel's boxes:
// what "Auto" shows in the boxes, and how the boxes' numbers set the
// feature indexes and switch the treatments that have a box of their own.
#ifndef TESSAVAR_ENGINE_MAPPED_VALUES_H_
#define TESSAVAR_ENGINE_MAPPED_VALUES_H_

#include "engine/compose_request.h"
#include "engine/composer_settings.h"

namespace tessavar {

// The option flag that a mapped parameter's box switches (0 in the box
// turns it off), or nullptr for a parameter without one.
const bool* SwitchFlag(const OptionFlags& flags, MappedParameter parameter);
bool* SwitchFlag(OptionFlags& flags, MappedParameter parameter);

// The boxes' values for the drawn choices: the feature index plus one, or
// 0 where the parameter's treatment is off.
MappedBoxValues BoxValuesFromChoices(const OptionFlags& flags,
                                     const FeatureChoices& choices);

// Reads the boxes' numbers into the choices: a feature index from
// value - 1, rounded and kept inside the feature vector. A switch box at 0
// or below turns its flag off and leaves the index as drawn; above 0 it
// turns the flag on.
void ApplyBoxValues(const MappedArray<double>& values, OptionFlags& flags,
                    FeatureChoices& choices);

// The numbers the boxes read back after "Auto" wrote `values` into them.
// A box keeps a whole number's text as written (the panel rewrites a text
// only as the same number), so the read-back is each value itself.
MappedArray<double> ReadBackBoxValues(const MappedBoxValues& values);

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_MAPPED_VALUES_H_
