// File > Recent Compositions: the compositions last loaded or saved, newest
// first, kept in the settings file.
#ifndef TESSAVAR_MODEL_RECENT_COMPOSITIONS_H_
#define TESSAVAR_MODEL_RECENT_COMPOSITIONS_H_

#include <cstddef>
#include <string>
#include <vector>

namespace tessavar {

inline constexpr size_t kRecentCompositionCount = 10;

struct RecentComposition {
  std::string path;
  // The file is there under its exact name; another file whose name
  // differs only in letter case does not count.
  bool exists = false;
};

// Puts the path first and keeps the newest ten; an older entry for the same
// file (another name of it) goes.
void RememberComposition(std::vector<std::string>& recent,
                         const std::string& path);

// Removes the entry.
void ForgetComposition(std::vector<std::string>& recent,
                       const std::string& path);

// The newest ten, one entry per file, each with whether its file is still
// there.
std::vector<RecentComposition> RecentCompositions(
    const std::vector<std::string>& recent);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_RECENT_COMPOSITIONS_H_
