#include "model/recent_compositions.h"

#include <algorithm>

#include "base/file_system.h"

namespace tessavar {

void RememberComposition(std::vector<std::string>& recent,
                         const std::string& path) {
  if (path.empty()) return;
  std::erase(recent, path);
  recent.insert(recent.begin(), path);
  if (recent.size() > kRecentCompositionCount) {
    recent.resize(kRecentCompositionCount);
  }
}

std::vector<RecentComposition> RecentCompositions(
    const std::vector<std::string>& recent) {
  std::vector<RecentComposition> items;
  const size_t count = std::min(recent.size(), kRecentCompositionCount);
  for (size_t i = 0; i < count; ++i) {
    items.push_back({recent[i], FileExists(recent[i])});
  }
  return items;
}

}  // namespace tessavar
