#include "base/status.h"

#include <cerrno>

namespace tessavar {

RunTimeError::RunTimeError(Status status)
    : std::runtime_error(status.Message()), status_(std::move(status)) {}

void ThrowIfError(const Status& status) {
  if (!status.ok()) throw RunTimeError(status);
}

Status Status::WithPath(std::string path, int line) const {
  if (ok() || !path_.empty()) return *this;
  return Status(number_, std::move(path), line, detail_);
}

std::string Status::Message() const {
  std::string text = detail_.empty() ? ErrorMessage(number_) : detail_;
  if (!path_.empty()) {
    text += "\n" + path_;
    if (line_ > 0) text += ", line " + std::to_string(line_);
  }
  return text;
}

std::string Status::LineText() const {
  std::string text;
  if (!path_.empty()) {
    text = path_;
    if (line_ > 0) text += ", line " + std::to_string(line_);
    text += ": ";
  }
  return text + (detail_.empty() ? ErrorMessage(number_) : detail_);
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

bool RetryCanHelp(int number) {
  switch (number) {
    case kErrFileNotFound:
    case kErrDeviceIo:
    case kErrDiskFull:
    case kErrPermissionDenied:
    case kErrPathFileAccess:
    case kErrPathNotFound:
      return true;
    default:
      return false;
  }
}

int ErrorNumberFromErrno(int errno_value) {
  switch (errno_value) {
    case ENOENT:
      return kErrFileNotFound;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:  // a file-size limit: the file cannot grow, as on a full disk
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

namespace {

// What the classic text of an errno value leaves out; empty when it says it.
std::string HiddenCause(int errno_value) {
  switch (errno_value) {
    case ENAMETOOLONG:
      return "the name is too long";
    case EROFS:
      return "read-only file system";
    case ENOTDIR:
      return "a part of the path is not a folder";
    case EISDIR:
      return "a folder";
    case ELOOP:
      return "too many symbolic links";
    case EDQUOT:
      return "disk quota exceeded";
    case EFBIG:
      return "the file size limit is reached";
    default:
      return "";
  }
}

}  // namespace

Status ErrnoStatus(int errno_value, std::string path) {
  const int number = ErrorNumberFromErrno(errno_value);
  const std::string cause = HiddenCause(errno_value);
  return Status(number, std::move(path), 0,
                cause.empty() ? std::string()
                              : ErrorMessage(number) + " (" + cause + ")");
}

}  // namespace tessavar
