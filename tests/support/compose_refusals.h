// Panel texts that Compose refuses, each with the message it shows and the
// box it puts the focus in: the model's checks and the window's dialog go
// through the same cases. Each text stays as it is when its box loses the
// focus (a tempo of 421 would become 420 there).
#ifndef TESSAVAR_TESTS_SUPPORT_COMPOSE_REFUSALS_H_
#define TESSAVAR_TESTS_SUPPORT_COMPOSE_REFUSALS_H_

#include <array>

#include "model/panel_model.h"

namespace tessavar::testing {

struct ComposeRefusal {
  Box box;
  const char* text;
  const char* message;
};

inline constexpr std::array<ComposeRefusal, 12> kComposeRefusals = {{
    {Box::kStructure, "12", "Structure should be 3 to 16 digits in length."},
    {Box::kStructure, "12345678901234567",
     "Structure should be 3 to 16 digits in length."},
    {Box::kStructure, "1111", "Structure should not be all one digit."},
    {Box::kMapping, "0", "Mapping should be in the range 1 - 32767."},
    {Box::kMapping, "32768", "Mapping should be in the range 1 - 32767."},
    {Box::kMapping, "x", "Mapping should be in the range 1 - 32767."},
    {Box::kVariation, "10.5", "Variation should be in the range 0 - 10."},
    {Box::kVariation, "-1", "Variation should be in the range 0 - 10."},
    {Box::kTracks, "0", "Tracks should be in the range 1 - 16."},
    {Box::kTracks, "16.6", "Tracks should be in the range 1 - 16."},
    {Box::kTempo, "19", "Tempo should be in the range 20 - 420."},
    {Box::kTempo, "500", "Tempo should be in the range 20 - 420."},
}};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_COMPOSE_REFUSALS_H_
