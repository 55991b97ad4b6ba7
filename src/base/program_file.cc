#include "base/program_file.h"

#include <filesystem>
#include <system_error>

namespace tessavar {
namespace {

// The kernel's link to the file of the running program.
constexpr char kOwnProgramLink[] = "/proc/self/exe";

}  // namespace

Result<std::string> OwnProgramPath() {
  std::error_code error;
  const std::filesystem::path program =
      std::filesystem::read_symlink(kOwnProgramLink, error);
  if (error) return ErrnoStatus(error.value(), kOwnProgramLink);
  return program.string();
}

Result<std::string> SiblingProgramPath(std::string_view name) {
  Result<std::string> own = OwnProgramPath();
  if (!own.ok()) return own;
  return (std::filesystem::path(own.value()).parent_path() / name).string();
}

}  // namespace tessavar
