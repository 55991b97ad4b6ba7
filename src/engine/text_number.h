// Number rules shared by the whole program: how a text reads as a number,
// how numbers are rounded, and how they are written back as text.
#ifndef TESSAVAR_ENGINE_TEXT_NUMBER_H_
#define TESSAVAR_ENGINE_TEXT_NUMBER_H_

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace tessavar {

// The leading decimal number of a text: leading blanks skipped, an optional
// sign, digits with an optional fraction; reading stops at the first
// character that cannot continue the number. 0 when there is none.
double NumericValue(std::string_view text);

// The whole field as a number: like NumericValue, but only when the field
// (after leading blanks) is a decimal number followed by nothing but blanks.
std::optional<double> ParseNumberField(std::string_view text);

// The rounding rules are defined here, inline, because the composer calls
// them in its innermost loops.

// Rounding to the nearest integer, halves to the even neighbour.
inline double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  const double floor_value = std::floor(x);
  const double diff = x - floor_value;
  if (diff < 0.5) return floor_value;
  if (diff > 0.5) return floor_value + 1.0;
  return std::fmod(floor_value, 2.0) == 0.0 ? floor_value : floor_value + 1.0;
}

// A whole number as an int64, saturated at the ends of the range; 0 for
// NaN.
inline int64_t SaturateToInt64(double x) {
  constexpr double kMax = 9.2e18;
  if (std::isnan(x)) return 0;
  if (x >= kMax) return std::numeric_limits<int64_t>::max();
  if (x <= -kMax) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(x);
}

// CInt: RoundHalfEven as an integer, saturated to the int64 range.
inline int64_t CInt(double x) { return SaturateToInt64(RoundHalfEven(x)); }
// Int: rounds down.
inline int64_t Int(double x) { return SaturateToInt64(std::floor(x)); }
// Fix: truncates toward zero.
inline int64_t Fix(double x) { return SaturateToInt64(std::trunc(x)); }

// Clamps a 64-bit value into the int range.
inline int ToInt(int64_t x) {
  if (x > std::numeric_limits<int>::max()) {
    return std::numeric_limits<int>::max();
  }
  if (x < std::numeric_limits<int>::min()) {
    return std::numeric_limits<int>::min();
  }
  return static_cast<int>(x);
}

// A value written as text without spaces: 7 -> "7", 5.5 -> "5.5", -3 -> "-3".
std::string NumberToText(double value);

// The number field of the file formats: a space (or the minus sign), the
// digits and one trailing space: 1 -> " 1 ", -1 -> "-1 ".
std::string NumberField(int64_t value);

// True when the value fits a signed 16-bit integer after rounding.
bool FitsInt16(double value);

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_TEXT_NUMBER_H_
