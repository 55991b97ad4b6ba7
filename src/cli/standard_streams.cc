#include "cli/standard_streams.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

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

// The copies of standard input made in this run.
std::vector<std::string>& StandardInputCopies() {
  static std::vector<std::string> copies;
  return copies;
}

// Copies a whole stream; an empty one is no failure.
bool CopyStream(std::istream& in, std::ostream& out) {
  std::copy(std::istreambuf_iterator<char>(in),
            std::istreambuf_iterator<char>(),
            std::ostreambuf_iterator<char>(out));
  out.flush();
  return !out.bad() && !out.fail() && !in.bad();
}

}  // namespace

InputFile::InputFile(const std::string& name) : path_(name) {
  if (name != kStandardStream) return;
  copy_ = std::make_unique<ScopedTemporaryFile>(InTemporaryFolder());
  path_ = copy_->path();
  StandardInputCopies().push_back(path_);
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  if (!CopyStream(std::cin, out)) {
    throw RunTimeError(
        Status(kErrDiskFull, name, 0, "cannot store standard input"));
  }
}

std::string NamingStandardInput(std::string text) {
  for (const std::string& copy : StandardInputCopies()) {
    std::string named;
    size_t from = 0;
    for (size_t at = text.find(copy); at != std::string::npos;
         at = text.find(copy, from)) {
      named.append(text, from, at - from).append(kStandardStream);
      from = at + copy.size();
    }
    text = named.append(text, from, std::string::npos);
  }
  return text;
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
  if (!in || !CopyStream(in, std::cout)) {
    throw RunTimeError(Status(kErrDeviceIo, kStandardStream, 0,
                              "standard output refused the file"));
  }
}

}  // namespace tessavar::cli
