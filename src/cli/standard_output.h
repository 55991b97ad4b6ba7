// Standard output of the command-line tools, checked: a full disk, a closed
// descriptor or a broken pipe ends the run with status 2 and
// "tessavar-cli: standard output: <reason>", never with a silent success.
#ifndef TESSAVAR_CLI_STANDARD_OUTPUT_H_
#define TESSAVAR_CLI_STANDARD_OUTPUT_H_

#include <array>
#include <streambuf>

namespace tessavar::cli {

// std::cout's buffer while it lives: every write to descriptor 1 is
// checked and the first failure kept. Line by line on a terminal, in large
// blocks otherwise.
class StandardOutput {
 public:
  // Also gives closed standard descriptors /dev/null, so that no file the
  // program opens takes their number and receives its output; writing to
  // a standard output found closed fails as "Bad file descriptor".
  StandardOutput();
  ~StandardOutput();
  StandardOutput(const StandardOutput&) = delete;
  StandardOutput& operator=(const StandardOutput&) = delete;

  // Writes what is buffered and returns `status`, or prints the reason of
  // the first failed write and returns 2 (unless `status` already tells a
  // failure).
  int Finish(int status);

 private:
  class Buffer : public std::streambuf {
   public:
    explicit Buffer(bool closed);
    int error() const { return error_; }

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

   private:
    bool Drain();
    bool WriteAll(const char* data, size_t size);

    static constexpr size_t kSize = 1 << 16;
    std::array<char, kSize> bytes_{};
    bool closed_ = false;
    bool line_buffered_ = false;
    int error_ = 0;  // the errno of the first failed write
  };

  Buffer buffer_;
  std::streambuf* previous_ = nullptr;
};

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_STANDARD_OUTPUT_H_
