// File-system helpers with the program's path rules: files are created with
// a lower-case file name, looked up case-insensitively when read, and
// written through a temporary file that replaces the target only when
// complete. Failures throw RunTimeError with the classic error numbers.
#ifndef TESSAVAR_BASE_FILE_SYSTEM_H_
#define TESSAVAR_BASE_FILE_SYSTEM_H_

#include <string>
#include <string_view>

namespace tessavar {

// The path with its last component (the file name) in lower case; the
// directory part is kept as it is.
std::string LowerCaseFileName(const std::string& path);

// The path of an existing file for reading: the path itself when it exists,
// otherwise the entry of its directory whose name matches the last component
// case-insensitively; the path unchanged when there is none.
std::string FindExistingPath(const std::string& path);

bool FileExists(const std::string& path);

// Where a file that the program writes is found: the program creates its
// files with lower-case names, so that form wins; otherwise the path itself
// or a case-insensitive match ("SONG.MID" finds "song.mid").
std::string ProgramFileOnDisk(const std::string& path);

// Reads a whole file (looked up case-insensitively).
std::string ReadWholeFile(const std::string& path);

// Writes bytes to a temporary file in the target's directory and renames it
// over the target; on failure the temporary file is removed and the target
// is left as it was. The target name is used as given (callers lower-case it
// where the rule applies).
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// Copies a file (looked up case-insensitively) to a target, atomically.
void CopyFileAtomically(const std::string& from, const std::string& to);

// Creates the directory of a file about to be written when it does not
// exist: one level only, never reports anything.
void CheckForNewDirectory(const std::string& path);

}  // namespace tessavar

#endif  // TESSAVAR_BASE_FILE_SYSTEM_H_
