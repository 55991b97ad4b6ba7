#include "cli/standard_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "cli/cli_command.h"

namespace tessavar::cli {
namespace {

// True when the descriptor was closed; it then refers to /dev/null until
// a program is run, which finds it closed as this one did.
bool ReopenIfClosed(int fd) {
  if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) return false;
  const int flags = fd == STDIN_FILENO ? O_RDONLY : O_WRONLY;
  const int opened = ::open("/dev/null", flags | O_CLOEXEC);
  if (opened >= 0 && opened != fd) {
    ::dup3(opened, fd, O_CLOEXEC);
    ::close(opened);
  }
  return true;
}

// Returns whether standard output was closed.
bool GuardStandardDescriptors() {
  ReopenIfClosed(STDIN_FILENO);
  const bool output_closed = ReopenIfClosed(STDOUT_FILENO);
  ReopenIfClosed(STDERR_FILENO);
  return output_closed;
}

}  // namespace

StandardOutput::Buffer::Buffer(bool closed)
    : closed_(closed), line_buffered_(!closed && ::isatty(STDOUT_FILENO)) {
  setp(bytes_.data(), bytes_.data() + bytes_.size());
}

bool StandardOutput::Buffer::WriteAll(const char* data, size_t size) {
  if (size == 0) return error_ == 0;
  // A closed output fails at the first write, not before: a run that
  // prints nothing succeeds.
  if (closed_ && error_ == 0) error_ = EBADF;
  if (error_ != 0) return false;
  while (size > 0) {
    const ssize_t written = ::write(STDOUT_FILENO, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error_ = written < 0 ? errno : EIO;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool StandardOutput::Buffer::Drain() {
  const bool written = WriteAll(pbase(), static_cast<size_t>(pptr() - pbase()));
  setp(bytes_.data(), bytes_.data() + bytes_.size());
  return written;
}

StandardOutput::Buffer::int_type StandardOutput::Buffer::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) {
    return traits_type::not_eof(c);
  }
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  if (line_buffered_ && c == '\n' && !Drain()) return traits_type::eof();
  return c;
}

std::streamsize StandardOutput::Buffer::xsputn(const char* data,
                                               std::streamsize size) {
  const auto length = static_cast<size_t>(size);
  const auto room = static_cast<size_t>(epptr() - pptr());
  if (length <= room) {
    std::memcpy(pptr(), data, length);
    pbump(static_cast<int>(length));
  } else if (!Drain() || !WriteAll(data, length)) {
    // A MIDI file larger than the buffer goes out in one piece.
    return 0;
  }
  const bool line_ended = std::memchr(data, '\n', length) != nullptr;
  if (line_buffered_ && line_ended && !Drain()) return 0;
  return size;
}

int StandardOutput::Buffer::sync() { return Drain() ? 0 : -1; }

StandardOutput::StandardOutput()
    : buffer_(GuardStandardDescriptors()),
      previous_(std::cout.rdbuf(&buffer_)) {}

StandardOutput::~StandardOutput() {
  std::cout.flush();
  std::cout.rdbuf(previous_);
}

int StandardOutput::Finish(int status) {
  std::cout.flush();
  const int error = buffer_.error();
  if (error == 0) return status;
  std::cerr << "tessavar-cli: standard output: " << std::strerror(error)
            << '\n';
  return status == kExitOk ? kExitFile : status;
}

}  // namespace tessavar::cli
