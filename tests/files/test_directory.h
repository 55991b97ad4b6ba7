// A fresh temporary directory per test, removed afterwards, with helpers to
// write and read files in it byte for byte.
#ifndef TESSAVAR_TESTS_FILES_TEST_DIRECTORY_H_
#define TESSAVAR_TESTS_FILES_TEST_DIRECTORY_H_

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessavar::testing {

class TestDirectory {
 public:
  TestDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tessavar-files-XXXXXX")
            .string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
      throw std::runtime_error("cannot create a temporary directory");
    }
    path_ = name.data();
  }
  ~TestDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TestDirectory(const TestDirectory&) = delete;
  TestDirectory& operator=(const TestDirectory&) = delete;

  // The full path of a name inside the directory.
  std::string operator/(const std::string& name) const {
    return path_ + "/" + name;
  }
  const std::string& path() const { return path_; }

  // Replaces the file by a new one (truncating an existing file in place
  // makes some file systems flush it on close, which is slow).
  void Write(const std::string& name, const std::string& bytes) const {
    std::error_code ec;
    std::filesystem::remove(*this / name, ec);
    std::ofstream out(*this / name, std::ios::binary);
    out << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(*this / name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)),
                       std::istreambuf_iterator<char>());
  }
  bool Exists(const std::string& name) const {
    return std::filesystem::exists(*this / name);
  }
  // Names of the entries, sorted.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

// Joins lines with CR LF after each.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_FILES_TEST_DIRECTORY_H_
