// Where the desktop program keeps its files: $TESSAVAR_HOME when it is set,
// else ~/TessavarComposer; never the directory a terminal happens to be in.
// One program at a time works in a program directory: it holds the
// directory's lock for as long as it runs.
#ifndef TESSAVAR_MODEL_PROGRAM_DIRECTORY_H_
#define TESSAVAR_MODEL_PROGRAM_DIRECTORY_H_

#include <string>
#include <vector>

#include "base/status.h"

namespace tessavar {

inline constexpr char kProgramHomeVariable[] = "TESSAVAR_HOME";
inline constexpr char kProgramDirectoryName[] = "TessavarComposer";
inline constexpr char kProgramLockFileName[] = ".tessavar.lock";

// The program directory chosen by the two environment values (empty when
// unset): home_override wins; otherwise the folder kProgramDirectoryName in
// home. Empty when neither is set.
std::string ChooseProgramDirectory(const std::string& home_override,
                                   const std::string& home);

// Creates the directory when missing and copies into it each factory file
// (DEFAULT.TVX, THELP20.RTF from factory_directory) that it does not hold
// under any letter case; the copies get lower-case names, as every file the
// program writes. Files already there are never touched. Throws
// RunTimeError when the directory cannot be made or a copy fails.
void PrepareProgramDirectory(const std::string& directory,
                             const std::string& factory_directory);

// An exclusive flock on the lock file of a program directory, taken without
// waiting and held while the object lives. Only the lock counts: a lock
// file that a killed program left behind locks nothing, and the file is
// never removed (removing it would let two programs lock two files).
class ProgramDirectoryLock {
 public:
  enum class State { kHeld, kBusy, kFailed };

  explicit ProgramDirectoryLock(const std::string& directory);
  ~ProgramDirectoryLock();
  ProgramDirectoryLock(const ProgramDirectoryLock&) = delete;
  ProgramDirectoryLock& operator=(const ProgramDirectoryLock&) = delete;

  State state() const { return state_; }
  // Tries once more to take a lock that was busy (its holder may have been
  // ending); returns the state then.
  State TryAgain();
  // Why the lock file could not be opened or locked (kFailed).
  const Status& status() const { return status_; }

 private:
  int fd_ = -1;
  State state_ = State::kFailed;
  Status status_;
};

// Removes what writers killed by SIGKILL (or a crash) left behind: the
// temporaries of the program's own pattern in the program directory, in the
// export folders it remembers and in the folders of the recent
// compositions (saves write there). Returns how many were removed.
int RemoveLeftoverTemporaries(
    const std::string& program_directory,
    const std::vector<std::string>& recent_compositions);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PROGRAM_DIRECTORY_H_
