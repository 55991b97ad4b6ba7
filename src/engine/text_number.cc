#include "engine/text_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tessavar {
namespace {

// Digits a number keeps when it is written as text.
constexpr int kSignificantDigits = 15;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number at the start of text (sign, digits, fraction), or 0
// when the text does not start with at least one digit.
size_t NumberPrefixLength(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  return digits == 0 ? 0 : i;
}

std::string_view SkipBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

double ParsePrefix(std::string_view number) {
  bool negative = false;
  if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
    negative = number[0] == '-';
    number.remove_prefix(1);
  }
  std::string copy(number);
  if (!copy.empty() && copy.back() == '.') copy.pop_back();
  if (!copy.empty() && copy.front() == '.') copy.insert(copy.begin(), '0');
  double value = 0.0;
  auto result = std::from_chars(copy.data(), copy.data() + copy.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too many digits for a double: huge when the integer part is not zero,
    // otherwise too small to tell from 0.
    bool huge = copy.find_first_of("123456789") < copy.find('.');
    value = huge ? HUGE_VAL : 0.0;
  }
  return negative ? -value : value;
}

}  // namespace

double NumericValue(std::string_view text) {
  text = SkipBlanks(text);
  size_t length = NumberPrefixLength(text);
  if (length == 0) return 0.0;
  return ParsePrefix(text.substr(0, length));
}

std::optional<double> ParseNumberField(std::string_view text) {
  text = SkipBlanks(text);
  size_t length = NumberPrefixLength(text);
  if (length == 0) return std::nullopt;
  for (size_t i = length; i < text.size(); ++i) {
    if (!IsBlank(text[i])) return std::nullopt;
  }
  return ParsePrefix(text.substr(0, length));
}

std::string NumberToText(double value) {
  if (value == 0.0) return "0";  // also turns -0 into "0"
  // The text of printf's "%.15g" in the C locale, whatever locale the
  // process runs in: a decimal comma would not read back as a number.
  char buffer[64];
  const std::to_chars_result result =
      std::to_chars(buffer, buffer + sizeof buffer, value,
                    std::chars_format::general, kSignificantDigits);
  return std::string(buffer, result.ptr);
}

std::string NumberField(int64_t value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  return (value < 0 ? "-" : " ") + digits + " ";
}

bool FitsInt16(double value) {
  double rounded = RoundHalfEven(value);
  return rounded >= -32768.0 && rounded <= 32767.0;
}

}  // namespace tessavar
