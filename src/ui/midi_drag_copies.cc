#include "ui/midi_drag_copies.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QMimeData>
#include <QUrl>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "base/file_system.h"
#include "base/status.h"
#include "base/temporary_files.h"

namespace tessavar {
namespace {

constexpr char kDirectoryPrefix[] = "tessavar-drag-";
constexpr char kDirectoryTemplate[] = "tessavar-drag-XXXXXX";
constexpr size_t kRandomCharacters = 6;
constexpr time_t kSettleSeconds = 10;

bool IsDragDirectoryName(const char* name) {
  const size_t prefix = sizeof kDirectoryPrefix - 1;
  return std::strncmp(name, kDirectoryPrefix, prefix) == 0 &&
         std::strlen(name) == prefix + kRandomCharacters;
}

// Removes one drag directory when it is this user's and nobody holds it.
bool RemoveIfAbandoned(int parent_fd, const std::string& parent,
                       const char* name, time_t settled) {
  struct stat info = {};
  if (::fstatat(parent_fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISDIR(info.st_mode) || info.st_uid != ::getuid() ||
      info.st_mtime > settled) {
    return false;
  }
  const int fd = ::openat(parent_fd, name,
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  bool removed = false;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    std::error_code error;
    // remove_all never follows a link out of the directory.
    removed = std::filesystem::remove_all(std::filesystem::path(parent) / name,
                                          error) > 0;
  }
  ::close(fd);
  return removed;
}

}  // namespace

int MidiDragCopies::RemoveAbandoned(const std::string& temp_directory) {
  DIR* listing = ::opendir(temp_directory.c_str());
  if (listing == nullptr) return 0;
  const time_t settled = ::time(nullptr) - kSettleSeconds;
  int removed = 0;
  while (const dirent* entry = ::readdir(listing)) {
    if (IsDragDirectoryName(entry->d_name) &&
        RemoveIfAbandoned(::dirfd(listing), temp_directory, entry->d_name,
                          settled)) {
      ++removed;
    }
  }
  ::closedir(listing);
  return removed;
}

MidiDragCopies::MidiDragCopies()
    : directory_(QDir(QDir::tempPath()).filePath(kDirectoryTemplate)) {
  if (!directory_.isValid()) return;
  directory_slot_ = TemporaryFiles::Instance().Add(directory());
  directory_fd_ = ::open(directory().c_str(),
                         O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  // Brand new: nobody else can hold it.
  if (directory_fd_ >= 0) (void)::flock(directory_fd_, LOCK_EX | LOCK_NB);
}

MidiDragCopies::~MidiDragCopies() {
  for (const auto& [name, slot] : copy_slots_) {
    TemporaryFiles::Instance().Remove(slot);
  }
  TemporaryFiles::Instance().Remove(directory_slot_);
  if (directory_fd_ >= 0) ::close(directory_fd_);
  // QTemporaryDir removes the directory and the copies.
}

std::string MidiDragCopies::directory() const {
  return directory_.isValid() ? directory_.path().toStdString() : std::string();
}

std::unique_ptr<QMimeData> MidiDragCopies::MimeDataFor(
    const std::string& working_midi, const std::string& file_name) {
  if (!directory_.isValid()) return nullptr;
  const QString copy = directory_.filePath(QString::fromStdString(file_name));
  try {
    CopyFileAtomically(working_midi, copy.toStdString());
  } catch (const RunTimeError&) {
    return nullptr;
  }
  if (copy_slots_.count(file_name) == 0) {
    copy_slots_[file_name] = TemporaryFiles::Instance().Add(copy.toStdString());
  }
  auto mime_data = std::make_unique<QMimeData>();
  mime_data->setUrls({QUrl::fromLocalFile(copy)});
  return mime_data;
}

}  // namespace tessavar
