#include "cli/shared_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "base/atomic_file.h"
#include "base/file_system.h"
#include "base/status.h"

namespace tessavar::cli {
namespace {

namespace fs = std::filesystem;

// A directory made absolute by the working directory, lexically; left
// relative when there is no working directory (it was removed).
std::string LexicalDirectory(const std::string& directory) {
  fs::path path = directory.empty() ? fs::path(".") : fs::path(directory);
  if (path.is_relative()) {
    std::error_code error;
    fs::path current = fs::current_path(error);
    if (!error) path = current / path;
  }
  return path.lexically_normal().string();
}

// The canonical form of a directory, remembering the last one asked: the
// names of a run mostly share their directory.
class DirectoryCache {
 public:
  const std::string& Canonical(const std::string& directory) {
    if (!known_ || directory != directory_) {
      std::error_code error;
      fs::path canonical = fs::canonical(
          directory.empty() ? fs::path(".") : fs::path(directory), error);
      canonical_ = error ? LexicalDirectory(directory) : canonical.string();
      if (canonical_.empty() || canonical_.back() != '/') canonical_ += '/';
      directory_ = directory;
      known_ = true;
    }
    return canonical_;
  }

 private:
  bool known_ = false;
  std::string directory_;
  std::string canonical_;
};

std::string Identity(const std::string& name, DirectoryCache& directories) {
  std::string resolved = name;
  try {
    resolved = ResolveOutputPath(name);
  } catch (const RunTimeError&) {
    // A loop of links: the name stands for itself, writing it fails later.
  }
  const std::string directory = DirectoryOf(resolved);
  return directories.Canonical(directory) + resolved.substr(directory.size());
}

struct NameHash {
  size_t hash;
  size_t index;
  bool operator<(const NameHash& other) const {
    return std::tie(hash, index) < std::tie(other.hash, other.index);
  }
};

struct FileNode {
  dev_t device;
  ino_t inode;
  size_t index;
  bool operator<(const FileNode& other) const {
    return std::tie(device, inode, index) <
           std::tie(other.device, other.inode, other.index);
  }
  bool SameFile(const FileNode& other) const {
    return device == other.device && inode == other.inode;
  }
};

// Keeps the pair with the smaller second, then the smaller first.
void KeepEarlier(std::optional<std::pair<size_t, size_t>>& best,
                 std::pair<size_t, size_t> found) {
  if (!best || std::tie(found.second, found.first) <
                   std::tie(best->second, best->first)) {
    best = found;
  }
}

// Among names of one hash, the first pair whose identities are equal.
void CheckCollidingHashes(const std::vector<NameHash>& run,
                          const std::function<std::string(size_t)>& name_of,
                          std::optional<std::pair<size_t, size_t>>& best,
                          DirectoryCache& directories) {
  std::unordered_map<std::string, size_t> first_of;
  for (const NameHash& entry : run) {  // in index order
    auto [at, inserted] = first_of.try_emplace(
        Identity(name_of(entry.index), directories), entry.index);
    if (!inserted) KeepEarlier(best, {at->second, entry.index});
  }
}

}  // namespace

std::string FileIdentity(const std::string& name) {
  DirectoryCache directories;
  return Identity(name, directories);
}

std::optional<std::pair<size_t, size_t>> FindSharedFile(
    size_t count, const std::function<std::string(size_t)>& name_of) {
  std::vector<NameHash> hashes;
  std::vector<FileNode> files;
  DirectoryCache directories;
  hashes.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const std::string name = name_of(i);
    if (name.empty()) continue;
    hashes.push_back(
        {std::hash<std::string>()(Identity(name, directories)), i});
    struct stat info = {};
    if (::stat(name.c_str(), &info) == 0) {
      files.push_back({info.st_dev, info.st_ino, i});
    }
  }
  std::optional<std::pair<size_t, size_t>> best;
  std::sort(hashes.begin(), hashes.end());
  for (size_t start = 0, end; start < hashes.size(); start = end) {
    for (end = start + 1;
         end < hashes.size() && hashes[end].hash == hashes[start].hash; ++end) {
    }
    if (end - start > 1) {
      CheckCollidingHashes({hashes.begin() + start, hashes.begin() + end},
                           name_of, best, directories);
    }
  }
  std::sort(files.begin(), files.end());
  // Sorted by index within a file: its first two names are its earliest.
  for (size_t i = 1; i < files.size(); ++i) {
    if (files[i].SameFile(files[i - 1]) &&
        (i == 1 || !files[i - 1].SameFile(files[i - 2]))) {
      KeepEarlier(best, {files[i - 1].index, files[i].index});
    }
  }
  return best;
}

}  // namespace tessavar::cli
