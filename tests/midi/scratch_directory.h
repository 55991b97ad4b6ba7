// A fresh directory per test (removed afterwards) with helpers to write and
// read whole files in it.
#ifndef TESSAVAR_TESTS_MIDI_SCRATCH_DIRECTORY_H_
#define TESSAVAR_TESTS_MIDI_SCRATCH_DIRECTORY_H_

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/temp_dir.h"

namespace tessavar::testing {

class ScratchDirectory : public TempDir {
 public:
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(*this / name, std::ios::binary);
    out << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(*this / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& name) const {
    return std::filesystem::exists(*this / name);
  }
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_MIDI_SCRATCH_DIRECTORY_H_
