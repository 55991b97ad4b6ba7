#include "model/recent_compositions.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "model/file_pairs.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;

// Two names of one file: the same device and inode, or the same path once
// resolved. Only exact names count, so a missing "SONG.tvx" is never taken
// for "song.tvx".
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  const fs::path resolved_a = fs::weakly_canonical(a, ec);
  if (ec) return a == b;
  const fs::path resolved_b = fs::weakly_canonical(b, ec);
  return !ec && resolved_a == resolved_b;
}

}  // namespace

void RememberComposition(std::vector<std::string>& recent,
                         const std::string& path) {
  if (path.empty()) return;
  std::erase_if(recent, [&path](const std::string& entry) {
    return SameFile(entry, path);
  });
  recent.insert(recent.begin(), path);
  if (recent.size() > kRecentCompositionCount) {
    recent.resize(kRecentCompositionCount);
  }
}

void ForgetComposition(std::vector<std::string>& recent,
                       const std::string& path) {
  std::erase(recent, path);
}

std::vector<RecentComposition> RecentCompositions(
    const std::vector<std::string>& recent) {
  std::vector<RecentComposition> items;
  for (const std::string& path : recent) {
    if (items.size() == kRecentCompositionCount) break;
    const bool listed = std::any_of(items.begin(), items.end(),
                                    [&path](const RecentComposition& item) {
                                      return SameFile(item.path, path);
                                    });
    if (!listed) items.push_back({path, ExactFileExists(path)});
  }
  return items;
}

}  // namespace tessavar
