// Finds two names of a run that lead to one file, before anything is
// written: two outputs that would overwrite each other, or an output that
// would replace an input.
#ifndef TESSAVAR_CLI_SHARED_FILE_H_
#define TESSAVAR_CLI_SHARED_FILE_H_

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace tessavar::cli {

// The names are numbered 0 to count - 1 and given by name_of (an empty
// name takes part in nothing). Two names are one file when, with their
// symbolic links followed and their directory made absolute and free of
// "." and "..", they are equal, or when they are existing files of the same
// device and inode (hard links, linked directories). Returns the pair
// (first, second) with first < second and the smallest second, or nullopt.
// Memory stays at a few words per name whatever their length.
std::optional<std::pair<size_t, size_t>> FindSharedFile(
    size_t count, const std::function<std::string(size_t)>& name_of);

// A name with its symbolic links followed and its directory made absolute
// where the working directory is known, "." and ".." resolved.
std::string FileIdentity(const std::string& name);

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_SHARED_FILE_H_
