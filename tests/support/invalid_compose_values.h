// Panel values Compose refuses, each with the message it gives: the model's
// checks and the window's handling of them are tested over the same list.
#ifndef TESSAVAR_TESTS_SUPPORT_INVALID_COMPOSE_VALUES_H_
#define TESSAVAR_TESTS_SUPPORT_INVALID_COMPOSE_VALUES_H_

#include "model/panel_model.h"

namespace tessavar::testing {

struct InvalidComposeValue {
  Box box;
  const char* text;
  const char* message;
};

inline constexpr InvalidComposeValue kInvalidComposeValues[] = {
    {Box::kStructure, "12", "Structure should be 3 to 16 digits in length."},
    {Box::kStructure, "12345678901234567",
     "Structure should be 3 to 16 digits in length."},
    {Box::kStructure, "1111", "Structure should not be all one digit."},
    {Box::kMapping, "0", "Mapping should be in the range 1 - 32767."},
    {Box::kMapping, "32768", "Mapping should be in the range 1 - 32767."},
    {Box::kVariation, "11", "Variation should be in the range 0 - 10."},
    {Box::kTrackCount, "0", "Tracks should be in the range 1 - 16."},
    {Box::kTempo, "19", "Tempo should be in the range 20 - 420."},
    {Box::kTempo, "500", "Tempo should be in the range 20 - 420."},
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_INVALID_COMPOSE_VALUES_H_
