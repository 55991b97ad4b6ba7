#include "app/error_report.h"

#include <cerrno>
#include <iostream>

namespace tessavar {

RunTimeError::RunTimeError(int number)
    : std::runtime_error(ErrorMessage(number)), number_(number) {}

ErrorChoice CancelingErrorReporter::ShowError(const std::string& message) {
  std::cerr << message << '\n';
  return ErrorChoice::kCancel;
}

std::string ErrorDescription(int number) {
  switch (number) {
    case kErrInvalidCall:
      return "Invalid procedure call or argument";
    case kErrOverflow:
      return "Overflow";
    case kErrTypeMismatch:
      return "Type mismatch";
    case kErrFileNotFound:
      return "File not found";
    case kErrDeviceIo:
      return "Device I/O error";
    case kErrDiskFull:
      return "Disk full";
    case kErrInputPastEnd:
      return "Input past end of file";
    case kErrPermissionDenied:
      return "Permission denied";
    case kErrPathFileAccess:
      return "Path/File access error";
    case kErrPathNotFound:
      return "Path not found";
    case kErrInvalidPropertyValue:
      return "Invalid property value";
    default:
      return "Application-defined or object-defined error";
  }
}

std::string ErrorMessage(int number) {
  if (number >= 53 && number <= 76) return ErrorDescription(number);
  return "Error #" + std::to_string(number) + ": " + ErrorDescription(number);
}

int ErrorNumberFromErrno(int errno_value) {
  switch (errno_value) {
    case ENOENT:
      return kErrFileNotFound;
    case ENOSPC:
    case EDQUOT:
      return kErrDiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return kErrPermissionDenied;
    case ENOTDIR:
      return kErrPathNotFound;
    case EIO:
      return kErrDeviceIo;
    case EISDIR:
    case EBUSY:
    case EEXIST:
      return kErrPathFileAccess;
    default:
      return kErrPathFileAccess;
  }
}

void ErrorHandler(int& code, int number, ErrorReporter& reporter) {
  code = number;
  if (reporter.ShowError(ErrorMessage(number)) == ErrorChoice::kRetry) {
    code = 0;
  }
}

}  // namespace tessavar
