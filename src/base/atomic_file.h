// An output file written completely before it replaces the target: the
// bytes go to a temporary file beside the file that will be replaced, which
// takes the target's place in one rename on Commit. Until then the target is
// untouched, and the temporary file is removed on failure, on destruction
// and when SIGINT, SIGTERM or SIGHUP ends the process.
#ifndef TESSAVAR_BASE_ATOMIC_FILE_H_
#define TESSAVAR_BASE_ATOMIC_FILE_H_

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessavar {

// When a committed file reaches the disk.
enum class Durability {
  // Flushed before it takes the target's place.
  kFlushEach,
  // A new file is flushed later with its whole file system (BatchWriter),
  // which costs one flush for a batch instead of one per file. A file that
  // replaces another is still flushed first, so that a crash can never
  // cost the old contents.
  kFlushNewLater,
};

// Whether a write-protected target (one the user could not open for
// writing) is replaced. The shell's ">" refuses such a file, and so does
// the program unless told to replace it anyway (a command's --force).
enum class WriteProtection {
  kRespect,
  kOverride,
};

class AtomicFile {
 public:
  // Prepares to replace path. A symbolic link is written through: the file
  // it leads to is replaced and the link stays. Throws RunTimeError naming
  // path when the target exists and is not a regular file, when it is
  // write-protected (70, unless protection is kOverride), when it is the
  // same file as one of inputs, or when the temporary file cannot be
  // created (76 for a missing directory). The first AtomicFile of a
  // process in a directory removes what killed writers left there (see
  // RemoveStaleTemporaries).
  explicit AtomicFile(const std::string& path,
                      const std::vector<std::string>& inputs = {},
                      Durability durability = Durability::kFlushEach,
                      WriteProtection protection = WriteProtection::kRespect);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  void Write(std::string_view bytes);
  // Overwrites bytes already written (a header completed at the end).
  void WriteAt(int64_t offset, std::string_view bytes);
  // Gives the file the target's owner, extended attributes (ACLs among
  // them) and mode (new files: 0666 less the umask), flushes it (see
  // Durability) and renames it over the target.
  void Commit();

  // The file that Commit replaces, after following symbolic links.
  const std::string& target() const { return target_; }

 private:
  [[noreturn]] void Fail(int errno_value) const;
  void CheckWritable(WriteProtection protection) const;
  void CopyExtendedAttributes() const;
  void Discard();

  std::string path_;
  std::string target_;
  std::string temporary_;
  std::optional<struct stat> existing_;
  int fd_ = -1;
  int registry_slot_ = -1;
  Durability durability_;
};

// The file a write to path replaces: path with its symbolic links followed
// (a dangling link gives the path it points to).
std::string ResolveOutputPath(const std::string& path);

// True when the output would replace the input: the same device and inode,
// or the same path once links and "." and ".." are resolved.
bool IsSameFile(const std::string& output, const std::string& input);

}  // namespace tessavar

#endif  // TESSAVAR_BASE_ATOMIC_FILE_H_
