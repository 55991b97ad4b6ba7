#include "model/program_directory.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <system_error>

#include "base/file_system.h"
#include "base/status.h"
#include "base/temporary_files.h"
#include "model/written_folders.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;

// The factory files, under the names they ship with.
constexpr const char* kFactoryFiles[] = {"DEFAULT.TVX", "THELP20.RTF"};
constexpr mode_t kLockFileMode = 0666;  // the umask takes its share

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

ProgramDirectoryLock::ProgramDirectoryLock(const std::string& directory) {
  const std::string path =
      (fs::path(directory) / kProgramLockFileName).string();
  // Not inherited by the programs this one starts: they must not keep the
  // directory locked after it has gone.
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
               kLockFileMode);
  // Another user's lock file in a shared directory, or a read-only one:
  // flock needs no write access.
  if (fd_ < 0 && (errno == EACCES || errno == EROFS)) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  }
  if (fd_ < 0) {
    status_ = Status(
        errno == ENOENT ? kErrPathNotFound : ErrorNumberFromErrno(errno), path);
    return;
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::kHeld;
  } else if (errno == EWOULDBLOCK) {
    state_ = State::kBusy;
  } else {
    status_ = Status(ErrorNumberFromErrno(errno), path);
  }
}

ProgramDirectoryLock::State ProgramDirectoryLock::TryAgain() {
  if (state_ == State::kBusy && ::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::kHeld;
  }
  return state_;
}

ProgramDirectoryLock::~ProgramDirectoryLock() {
  if (fd_ >= 0) ::close(fd_);  // which releases the lock
}

int RemoveLeftoverTemporaries(
    const std::string& program_directory,
    const std::vector<std::string>& recent_compositions) {
  std::vector<std::string> folders =
      ReadWrittenFolders(WrittenFoldersPath(program_directory));
  for (const std::string& composition : recent_compositions) {
    folders.push_back(DirectoryOf(composition));
  }
  int removed = RemoveStaleTemporaries(program_directory);
  std::set<std::string> done = {program_directory};
  for (const std::string& folder : folders) {
    if (folder.empty() || !done.insert(folder).second) continue;
    removed += RemoveStaleTemporaries(folder);
  }
  return removed;
}

}  // namespace tessavar
