// The program's path rules for names: a file is created with a lower-case
// file name and looked up case-insensitively when read.
#ifndef TESSAVAR_BASE_PATH_LOOKUP_H_
#define TESSAVAR_BASE_PATH_LOOKUP_H_

#include <string>

namespace tessavar {

// The directory part of a path up to and including its last "/" (empty for
// a bare name).
std::string DirectoryOf(const std::string& path);

// The path with its last component (the file name) in lower case; the
// directory part is kept as it is.
std::string LowerCaseFileName(const std::string& path);

// The path of an existing file for reading: the path itself when it exists,
// otherwise the entry of its directory whose name matches the last component
// case-insensitively; the path unchanged when there is none.
std::string FindExistingPath(const std::string& path);

bool FileExists(const std::string& path);

// Where a file the program reads is found: the exact name first, otherwise a
// case-insensitive match of the file name ("SONG.MID" finds "song.mid").
std::string ProgramFileOnDisk(const std::string& path);

}  // namespace tessavar

#endif  // TESSAVAR_BASE_PATH_LOOKUP_H_
