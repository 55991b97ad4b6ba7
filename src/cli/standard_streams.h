// "-" as a file name: standard input copied into a temporary file so that
// the readers of files take it, and a file written into a temporary folder
// and then copied to standard output. The temporaries are removed when done
// and when the run is interrupted.
#ifndef TESSAVAR_CLI_STANDARD_STREAMS_H_
#define TESSAVAR_CLI_STANDARD_STREAMS_H_

#include <memory>
#include <string>

#include "base/temporary_files.h"

namespace tessavar::cli {

inline constexpr char kStandardStream[] = "-";

class InputFile {
 public:
  // Copies standard input when `name` is "-"; throws RunTimeError when it
  // cannot be stored.
  explicit InputFile(const std::string& name);
  // The file to read: `name`, or the copy of standard input.
  const std::string& path() const { return path_; }

 private:
  std::unique_ptr<ScopedTemporaryFile> copy_;
  std::string path_;
};

// The text with the copies of standard input named "-", as the user typed
// it: messages never name a temporary file that is gone when read.
std::string NamingStandardInput(std::string text);

// A file to write: `name`, or for "-" a file of the given extension in a
// temporary folder that Publish copies to standard output.
class OutputFile {
 public:
  OutputFile(const std::string& name, const std::string& extension);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  const std::string& path() const { return path_; }
  // Copies the finished file to standard output (nothing for a named
  // file); throws RunTimeError when standard output refuses it.
  void Publish() const;

 private:
  std::string path_;
  std::string folder_;  // empty for a named file
  int folder_slot_ = -1;
  int file_slot_ = -1;
};

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_STANDARD_STREAMS_H_
