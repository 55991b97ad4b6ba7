// The one error convention of every layer: classic run-time error numbers
// with their texts, a Status that carries the number together with the
// file (and line) it concerns, a Result that holds a value or such a
// status, and the exception that carries one through deep call chains.
#ifndef TESSAVAR_BASE_STATUS_H_
#define TESSAVAR_BASE_STATUS_H_

#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

namespace tessavar {

inline constexpr int kErrInvalidCall = 5;
inline constexpr int kErrOverflow = 6;
inline constexpr int kErrTypeMismatch = 13;
inline constexpr int kErrFileNotFound = 53;
inline constexpr int kErrDeviceIo = 57;
inline constexpr int kErrDiskFull = 61;
inline constexpr int kErrInputPastEnd = 62;
inline constexpr int kErrPermissionDenied = 70;
inline constexpr int kErrPathFileAccess = 75;
inline constexpr int kErrPathNotFound = 76;
inline constexpr int kErrInvalidPropertyValue = 380;

// The short plain description of an error number ("File not found").
std::string ErrorDescription(int number);

// The classic text of an error: the description alone for the file and
// disk errors 53 to 76, otherwise "Error #<n>: <description>".
std::string ErrorMessage(int number);

// True for the errors of the file system that the user can mend and then
// retry (a missing file put back, a full disk emptied, a permission
// granted); false for errors in the contents, which a retry meets again.
bool RetryCanHelp(int number);

// Maps an errno value onto the classic error numbers.
int ErrorNumberFromErrno(int errno_value);

// Success, or a classic error number with the file (and line) concerned and
// an optional detail that replaces the classic text.
class Status {
 public:
  Status() = default;
  explicit Status(int number, std::string path = {}, int line = 0,
                  std::string detail = {})
      : number_(number),
        path_(std::move(path)),
        line_(line),
        detail_(std::move(detail)) {}

  bool ok() const { return number_ == 0; }
  int number() const { return number_; }
  const std::string& path() const { return path_; }
  int line() const { return line_; }
  const std::string& detail() const { return detail_; }

  // The same status naming a file, unless it names one already.
  Status WithPath(std::string path, int line = 0) const;

  // What the user is shown: the classic text (or the detail) first, then the
  // file and line, when known, on a line of their own.
  std::string Message() const;

  // The same on one line, the file first: "FILE[, line N]: TEXT".
  std::string LineText() const;

 private:
  int number_ = 0;
  std::string path_;
  int line_ = 0;
  std::string detail_;
};

// The classic error of an errno value for the path, with the cause added to
// the classic text where that text hides it: "Path/File access error (the
// name is too long)", "Permission denied (read-only file system)".
Status ErrnoStatus(int errno_value, std::string path = {});

// A value, or the status that explains why there is none.
template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
  Result(Status status) : value_(std::move(status)) {}  // NOLINT

  bool ok() const { return std::holds_alternative<T>(value_); }
  const T& value() const& { return std::get<T>(value_); }
  T& value() & { return std::get<T>(value_); }
  T&& value() && { return std::get<T>(std::move(value_)); }
  // The error; a default (ok) status when there is a value.
  Status status() const { return ok() ? Status() : std::get<Status>(value_); }

 private:
  std::variant<T, Status> value_;
};

// A run-time error carrying its status; thrown where a failure has to cross
// several calls, and turned back into a Status where it is handled.
class RunTimeError : public std::runtime_error {
 public:
  explicit RunTimeError(Status status);
  explicit RunTimeError(int number, std::string path = {}, int line = 0)
      : RunTimeError(Status(number, std::move(path), line)) {}

  int number() const { return status_.number(); }
  const Status& status() const { return status_; }

 private:
  Status status_;
};

// Throws the status as a RunTimeError when it is an error.
void ThrowIfError(const Status& status);

}  // namespace tessavar

#endif  // TESSAVAR_BASE_STATUS_H_
