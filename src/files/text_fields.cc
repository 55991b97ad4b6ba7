#include "files/text_fields.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "base/file_system.h"
#include "engine/text_number.h"

namespace tessavar {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsSeparatorAt(const std::string& bytes, size_t pos) {
  return pos < bytes.size() && bytes[pos] == ',';
}

}  // namespace

// A lone CR counts as a line end only at the very end of the file, so that
// a file cut after its CR still ends its last field cleanly.
bool FieldReader::AtLineEnd(size_t pos) const {
  if (pos >= bytes_.size()) return false;
  if (bytes_[pos] == '\n') return true;
  if (bytes_[pos] != '\r') return false;
  return pos + 1 == bytes_.size() || bytes_[pos + 1] == '\n';
}

void FieldReader::SkipSeparator() {
  if (IsSeparatorAt(bytes_, pos_)) {
    ++pos_;
  } else if (AtLineEnd(pos_)) {
    pos_ += bytes_[pos_] == '\r' ? 2 : 1;
    if (pos_ > bytes_.size()) pos_ = bytes_.size();
    ++line_;
  }
}

Field FieldReader::Next() {
  if (pos_ >= bytes_.size()) throw RunTimeError(kErrInputPastEnd);
  Field field;
  field.line = line_;
  while (pos_ < bytes_.size() && IsBlank(bytes_[pos_])) ++pos_;
  auto at_end = [this](size_t p) { return p >= bytes_.size() || AtLineEnd(p); };
  if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
    field.quoted = true;
    size_t start = ++pos_;
    while (!at_end(pos_) && bytes_[pos_] != '"') ++pos_;
    field.text.assign(bytes_, start, pos_ - start);
    if (pos_ < bytes_.size() && bytes_[pos_] == '"') ++pos_;
    while (!at_end(pos_) && !IsSeparatorAt(bytes_, pos_)) ++pos_;
  } else {
    size_t start = pos_;
    while (!at_end(pos_) && !IsSeparatorAt(bytes_, pos_)) ++pos_;
    field.text.assign(bytes_, start, pos_ - start);
  }
  SkipSeparator();
  return field;
}

std::string NumberAsText(double value) {
  std::string text = NumberToText(value);
  if (text.find_first_of("eE") == std::string::npos) return text;
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                              std::chars_format::fixed);
  if (result.ec != std::errc()) return text;
  return std::string(buffer, result.ptr);
}

std::string FieldAsText(const Field& field) {
  if (field.quoted) return field.text;
  std::optional<double> value = ParseNumberField(field.text);
  if (!value || !std::isfinite(*value)) return field.text;
  return NumberAsText(*value);
}

int FieldAsInt16(const Field& field) {
  std::optional<double> value = ParseNumberField(field.text);
  if (!value) throw RunTimeError(kErrTypeMismatch);
  if (!FitsInt16(*value)) throw RunTimeError(kErrOverflow);
  return static_cast<int>(CInt(*value));
}

std::string TextLine(std::string_view text) {
  if (text.find(',') != std::string_view::npos) return QuotedLine(text);
  return std::string(text) + kLineEnd;
}

std::string NumberLine(int64_t value) { return NumberField(value) + kLineEnd; }

std::string QuotedLine(std::string_view text) {
  return "\"" + std::string(text) + "\"" + kLineEnd;
}

std::optional<std::string> UnstorableTextProblem(std::string_view text,
                                                 bool always_quoted) {
  if (text.find_first_of("\r\n") != std::string_view::npos) {
    return "it contains a line break";
  }
  bool quoted = always_quoted || text.find(',') != std::string_view::npos;
  if (quoted) {
    if (text.find('"') != std::string_view::npos) {
      return always_quoted ? "it contains a double quote"
                           : "it contains both a comma and a double quote";
    }
    return std::nullopt;
  }
  size_t first = text.find_first_not_of(" \t");
  if (first != std::string_view::npos && text[first] == '"') {
    return "it begins with a double quote";
  }
  return std::nullopt;
}

std::string ReadTextFile(const std::string& path) {
  // The exact name first, then the case-insensitive match; only regular
  // files are read, and errors name the file.
  return ReadWholeFileUpTo(path, kMaxTextFileBytes);
}

}  // namespace tessavar
