#include "model/program_directory.h"

#include <filesystem>
#include <system_error>

#include "base/file_system.h"
#include "base/status.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;

// The factory files, under the names they ship with.
constexpr const char* kFactoryFiles[] = {"DEFAULT.TVX", "THELP20.RTF"};

}  // namespace

std::string ChooseProgramDirectory(const std::string& home_override,
                                   const std::string& home) {
  if (!home_override.empty()) return home_override;
  if (home.empty()) return std::string();
  return (fs::path(home) / kProgramDirectoryName).string();
}

void PrepareProgramDirectory(const std::string& directory,
                             const std::string& factory_directory) {
  std::error_code error;
  fs::create_directories(directory, error);
  if (error || !fs::is_directory(directory)) {
    throw RunTimeError(kErrPathNotFound, directory);
  }
  for (const char* name : kFactoryFiles) {
    const std::string target = (fs::path(directory) / name).string();
    // Any letter case counts as present: the user's copy is kept.
    if (FileExists(target)) continue;
    const std::string source = (fs::path(factory_directory) / name).string();
    if (!FileExists(source)) continue;  // nothing to seed it with
    CopyFileAtomically(source, LowerCaseFileName(target));
  }
}

}  // namespace tessavar
