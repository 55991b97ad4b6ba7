// Helpers for the tests of the text files.
#ifndef TESSAVAR_TESTS_SUPPORT_TEST_DIRECTORY_H_
#define TESSAVAR_TESTS_SUPPORT_TEST_DIRECTORY_H_

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tessavar::testing {

using TestDirectory = TempDir;

// Joins lines with CR LF after each.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_TEST_DIRECTORY_H_
