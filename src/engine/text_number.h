// Number rules shared by the whole program: how a text reads as a number,
// how numbers are rounded, and how they are written back as text.
#ifndef TESSAVAR_ENGINE_TEXT_NUMBER_H_
#define TESSAVAR_ENGINE_TEXT_NUMBER_H_

#include <cstdint>
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

// Rounding to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double x);
// CInt: RoundHalfEven as an integer, saturated to the int64 range.
int64_t CInt(double x);
// Int: rounds down.
int64_t Int(double x);
// Fix: truncates toward zero.
int64_t Fix(double x);

// Clamps a 64-bit value into the int range.
int ToInt(int64_t x);

// A value written as text without spaces: 7 -> "7", 5.5 -> "5.5", -3 -> "-3".
std::string NumberToText(double value);

// The number field of the file formats: a space (or the minus sign), the
// digits and one trailing space: 1 -> " 1 ", -1 -> "-1 ".
std::string NumberField(int64_t value);

// True when the value fits a signed 16-bit integer after rounding.
bool FitsInt16(double value);

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_TEXT_NUMBER_H_
