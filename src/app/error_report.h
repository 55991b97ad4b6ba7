// The shared error report: classic error numbers, their texts, and the
// Retry/Cancel protocol that every file and playback procedure follows.
#ifndef TESSAVAR_APP_ERROR_REPORT_H_
#define TESSAVAR_APP_ERROR_REPORT_H_

#include <stdexcept>
#include <string>

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

enum class ErrorChoice { kRetry, kCancel };

// Shows an error message with Retry and Cancel (a message box in the
// desktop program, standard error in the command-line composer, a scripted
// double in tests).
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual ErrorChoice ShowError(const std::string& message) = 0;
};

// An error reporter that prints the message to standard error and cancels.
class CancelingErrorReporter : public ErrorReporter {
 public:
  ErrorChoice ShowError(const std::string& message) override;
};

// A run-time error carrying its classic number.
class RunTimeError : public std::runtime_error {
 public:
  RunTimeError(int number, const std::string& what)
      : std::runtime_error(what), number_(number) {}
  explicit RunTimeError(int number);
  int number() const { return number_; }

 private:
  int number_;
};

// The short plain description of an error number ("File not found").
std::string ErrorDescription(int number);

// The message shown for an error: the description alone for the file and
// disk errors 53 to 76, otherwise "Error #<n>: <description>".
std::string ErrorMessage(int number);

// Maps an errno value onto the classic error numbers.
int ErrorNumberFromErrno(int errno_value);

// The error handler's protocol: code becomes the error number; when the user
// chooses Retry, code becomes 0.
void ErrorHandler(int& code, int number, ErrorReporter& reporter);

}  // namespace tessavar

#endif  // TESSAVAR_APP_ERROR_REPORT_H_
