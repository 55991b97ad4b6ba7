// The field conventions shared by the program's text files (composition,
// orchestration, scale): one field per line ending in CR LF, numbers written
// as " 7 " or "-1 ", texts as they stand; on reading, a field runs up to the
// next comma or line end, and a field opening with a double quote runs to
// the closing quote.
#ifndef TESSAVAR_FILES_TEXT_FIELDS_H_
#define TESSAVAR_FILES_TEXT_FIELDS_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"

namespace tessavar {

inline constexpr char kLineEnd[] = "\r\n";

struct Field {
  std::string text;  // as read, without the quotes of a quoted field
  bool quoted = false;
  int line = 0;  // line of the file where the field starts, from 1
};

// Reads fields one after the other. Leading blanks are skipped, an unquoted
// field keeps its trailing blanks, and after a quoted field the rest up to
// the separator is skipped. Line ends are CR LF or LF. A quote that is never
// closed ends at the line end.
class FieldReader {
 public:
  explicit FieldReader(std::string bytes) : bytes_(std::move(bytes)) {}

  // The next field; RunTimeError 62 at the end of the file. The reader does
  // not move when it throws.
  Field Next();
  // Line where the next field starts.
  int line() const { return line_; }

 private:
  bool AtLineEnd(size_t pos) const;
  // Steps over a comma or a line end at the current position.
  void SkipSeparator();

  std::string bytes_;
  size_t pos_ = 0;
  int line_ = 1;
};

// A value written as text, never in exponent notation (1e20 gives
// "100000000000000000000").
std::string NumberAsText(double value);

// A field for a text box: an unquoted field that reads as a number becomes
// that number written as text (" 60 " gives "60", "007" gives "7"); any
// other field stays as read.
std::string FieldAsText(const Field& field);

// A number field (list index, check value, channel) rounded to an integer.
// RunTimeError 13 when it is not a number, 6 when it does not fit 16 bits.
int FieldAsInt16(const Field& field);

// Lines as written: a text as it stands (between double quotes when it
// contains a comma, so that it reads back whole), a number field, and a text
// always between double quotes.
std::string TextLine(std::string_view text);
std::string NumberLine(int64_t value);
std::string QuotedLine(std::string_view text);

// Why a text would not read back unchanged from TextLine (QuotedLine when
// always_quoted), or nullopt when it would. Leading blanks, which are
// skipped on reading, are not counted as a problem.
std::optional<std::string> UnstorableTextProblem(std::string_view text,
                                                 bool always_quoted);

// The largest composition, orchestration, scale or settings file read: a
// composition takes a few kilobytes, so anything near this is not one.
inline constexpr size_t kMaxTextFileBytes = size_t{512} << 10;

// The bytes of a file to read, looked up case-insensitively. RunTimeError
// 53 when it is missing, 75 when it is not a regular file, 6 when it is
// larger than kMaxTextFileBytes.
std::string ReadTextFile(const std::string& path);

}  // namespace tessavar

#endif  // TESSAVAR_FILES_TEXT_FIELDS_H_
