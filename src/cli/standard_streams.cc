#include "cli/standard_streams.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

#include "base/status.h"

namespace tessavar::cli {
namespace {

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

// A name in the folder for temporary files.
std::string InTemporaryFolder() {
  return TemporaryFolder() + "/standard-input";
}

}  // namespace

InputFile::InputFile(const std::string& name) : path_(name) {
  if (name != kStandardStream) return;
  copy_ = std::make_unique<ScopedTemporaryFile>(InTemporaryFolder());
  path_ = copy_->path();
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out << std::cin.rdbuf();
  out.flush();
  if (!out)
    throw RunTimeError(
        Status(kErrDiskFull, name, 0, "cannot store standard input"));
}

OutputFile::OutputFile(const std::string& name, const std::string& extension)
    : path_(name) {
  if (name != kStandardStream) return;
  std::string folder = TemporaryFolder() + "/.tessavar-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) {
    throw RunTimeError(ErrnoStatus(errno, TemporaryFolder()));
  }
  folder_ = folder;
  folder_slot_ = TemporaryFiles::Instance().Add(folder_);
  path_ = folder_ + "/standard-output." + extension;
  file_slot_ = TemporaryFiles::Instance().Add(path_);
}

OutputFile::~OutputFile() {
  if (folder_.empty()) return;
  ::unlink(path_.c_str());
  ::rmdir(folder_.c_str());
  TemporaryFiles::Instance().Remove(file_slot_);
  TemporaryFiles::Instance().Remove(folder_slot_);
}

void OutputFile::Publish() const {
  if (folder_.empty()) return;
  std::ifstream in(path_, std::ios::binary);
  std::cout << in.rdbuf();
  std::cout.flush();
  if (!in || !std::cout) {
    throw RunTimeError(Status(kErrDeviceIo, kStandardStream, 0,
                              "standard output refused the file"));
  }
}

}  // namespace tessavar::cli
