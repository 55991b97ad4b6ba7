// A fresh directory per test, removed afterwards, with helpers to read and
// write whole files in it.
#ifndef TESSAVAR_TESTS_MIDI_SCRATCH_DIRECTORY_H_
#define TESSAVAR_TESTS_MIDI_SCRATCH_DIRECTORY_H_

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace tessavar::testing {

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = ::testing::TempDir() + "tessavar_XXXXXX";
    path_ = ::mkdtemp(pattern.data());
    path_ += '/';
  }
  ~ScratchDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  // The directory, ending in "/".
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ + name, std::ios::binary);
    out << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(path_ + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& name) const {
    return std::filesystem::exists(path_ + name);
  }
  // The names of all entries, hidden ones included.
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

 private:
  std::string path_;
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_MIDI_SCRATCH_DIRECTORY_H_
