// File-system helpers with the program's path rules: files are created with
// a lower-case file name, looked up case-insensitively when read, and
// written through a temporary file that replaces the target only when
// complete. Failures throw RunTimeError with the classic error numbers.
#ifndef TESSAVAR_BASE_FILE_SYSTEM_H_
#define TESSAVAR_BASE_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/atomic_file.h"
#include "base/path_lookup.h"
#include "base/status.h"

namespace tessavar {

// The largest file the program reads whole (MIDI files, compositions):
// far beyond anything it writes, small enough to hold in memory.
inline constexpr size_t kMaxReadFileBytes = size_t{256} << 20;

// Reads a whole file (looked up case-insensitively). Only regular files
// are read: anything else (a device, a FIFO, a directory) is refused with
// error 75 before a byte is read. A file larger than max_bytes is refused
// with error 6, its size and the limit, also before a byte is read.
// Errors name the path.
std::string ReadWholeFileUpTo(const std::string& path, size_t max_bytes);

// ReadWholeFileUpTo with the program's limit, kMaxReadFileBytes.
std::string ReadWholeFile(const std::string& path);

// Error 6 for a file of size bytes that is larger than max_bytes: "song.mid
// has 300 MB; files of at most 256 MB are read".
Status FileTooLarge(const std::string& path, uint64_t size, size_t max_bytes);

// The first max_bytes bytes of a file (all of a shorter one), read as
// ReadWholeFile reads.
std::string ReadFilePrefix(const std::string& path, size_t max_bytes);

// Error 75 for a path that exists but is not a regular file.
Status NotRegularFile(const std::string& path);

// Writes bytes through an AtomicFile: the target (a symbolic link's target)
// is replaced only when the new file is complete, keeps its mode, and is
// never one of inputs. The target name is used as given (callers lower-case
// it where the rule applies).
void WriteFileAtomically(
    const std::string& path, std::string_view bytes,
    const std::vector<std::string>& inputs = {},
    Durability durability = Durability::kFlushEach,
    WriteProtection protection = WriteProtection::kRespect);

// Copies a file (looked up case-insensitively) to a target, atomically.
void CopyFileAtomically(const std::string& from, const std::string& to);

// Creates the directory of a file about to be written when it does not
// exist: one level only, never reports anything.
void CreateParentDirectory(const std::string& path);

}  // namespace tessavar

#endif  // TESSAVAR_BASE_FILE_SYSTEM_H_
