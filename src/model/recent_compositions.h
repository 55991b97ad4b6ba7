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
  bool exists = false;  // a missing file is shown greyed
};

// Puts the path first (once) and keeps the newest ten.
void RememberComposition(std::vector<std::string>& recent,
                         const std::string& path);

// The newest ten, each with whether its file is still there.
std::vector<RecentComposition> RecentCompositions(
    const std::vector<std::string>& recent);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_RECENT_COMPOSITIONS_H_
