// A fresh directory for one test, removed with everything in it at the end,
// with helpers to write and read whole files in it.
#ifndef TESSAVAR_TESTS_SUPPORT_TEMP_DIR_H_
#define TESSAVAR_TESTS_SUPPORT_TEMP_DIR_H_

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessavar::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tessavar-test-XXXXXX")
            .string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
      throw std::runtime_error("cannot create a temporary directory");
    }
    path_ = name.data();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory without a trailing "/".
  const std::string& path() const { return path_; }
  // A path inside the directory.
  std::string operator/(const std::string& name) const {
    return path_ + "/" + name;
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
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
  // The names of the entries, sorted.
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

// Joins lines with CR LF after each, as the program's text files are.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_TEMP_DIR_H_
