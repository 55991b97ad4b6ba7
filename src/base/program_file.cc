#include "base/program_file.h"

#include <filesystem>
#include <system_error>

namespace tessavar {
namespace {

// The kernel's link to the file of the running program.
constexpr char kOwnProgramLink[] = "/proc/self/exe";

// The helpers' directory of an installed tree, from the programs' one; the
// build sets where below the prefix it is.
constexpr char kHelperProgramDirectory[] = "../" TESSAVAR_HELPER_DIRECTORY;

}  // namespace

Result<std::string> OwnProgramPath() {
  std::error_code error;
  const std::filesystem::path program =
      std::filesystem::read_symlink(kOwnProgramLink, error);
  if (error) return ErrnoStatus(error.value(), kOwnProgramLink);
  return program.string();
}

std::string SiblingProgramPathFor(const std::string& executable,
                                  std::string_view name) {
  const std::filesystem::path directory =
      std::filesystem::path(executable).parent_path();
  const std::filesystem::path helpers =
      (directory / kHelperProgramDirectory).lexically_normal();
  std::error_code error;
  if (std::filesystem::is_directory(helpers, error)) {
    return (helpers / name).string();
  }
  return (directory / name).string();
}

Result<std::string> SiblingProgramPath(std::string_view name) {
  Result<std::string> own = OwnProgramPath();
  if (!own.ok()) return own;
  return SiblingProgramPathFor(own.value(), name);
}

}  // namespace tessavar
