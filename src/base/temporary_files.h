// Temporary files that an interrupted run must not leave behind. A path
// registered here is removed when SIGINT, SIGTERM or SIGHUP ends the
// process (a directory once the files registered in it are gone); the
// signal then ends the process as it would have without the handler.
#ifndef TESSAVAR_BASE_TEMPORARY_FILES_H_
#define TESSAVAR_BASE_TEMPORARY_FILES_H_

#include <string>

namespace tessavar {

class TemporaryFiles {
 public:
  // The process's one registry (signal handlers cannot carry a context).
  static TemporaryFiles& Instance();

  // Installs the handlers of SIGINT, SIGTERM and SIGHUP that remove the
  // registered files, where the signals still have their default action; once.
  void InstallSignalHandlers();
  // Registers a path; returns its slot, or -1 when every slot is taken (the
  // file is then removed only by its owner). Installs the signal handlers.
  int Add(const std::string& path);
  // Forgets a slot that Add returned (a -1 is ignored).
  void Remove(int slot);
  // The number of paths registered now.
  int Count() const;

 private:
  TemporaryFiles() = default;
};

// Creates an empty file under a short name of its own (".tessavar-", six
// random characters and ".tmp", whatever the length of the other names) in the
// directory of `beside`, with mode 0666 less the umask, and registers it.
// The descriptor holds an exclusive flock on the file for as long as it is
// open, which tells RemoveStaleTemporaries that its writer is alive.
// Returns the open descriptor and sets *path and *slot; returns -1 with
// errno set when no file can be created.
int CreateTemporaryFile(const std::string& beside, std::string* path,
                        int* slot);

// True for a file name of CreateTemporaryFile's pattern.
bool IsTemporaryFileName(const std::string& name);

// Removes what a process killed by SIGKILL (or a crash) left behind in
// directory: regular files of CreateTemporaryFile's pattern that are older
// than this process and that no living writer holds locked. Files of other
// names, and any file a running writer still holds, are never touched.
// Returns how many were removed; an unreadable directory removes nothing.
int RemoveStaleTemporaries(const std::string& directory);

// A registered temporary file that is removed when the object goes away.
// Others may write it by name meanwhile.
class ScopedTemporaryFile {
 public:
  // Throws RunTimeError naming `beside` when no file can be created.
  explicit ScopedTemporaryFile(const std::string& beside);
  ~ScopedTemporaryFile();
  ScopedTemporaryFile(const ScopedTemporaryFile&) = delete;
  ScopedTemporaryFile& operator=(const ScopedTemporaryFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int slot_ = -1;
  int fd_ = -1;  // kept open: its lock marks the file as in use
};

}  // namespace tessavar

#endif  // TESSAVAR_BASE_TEMPORARY_FILES_H_
