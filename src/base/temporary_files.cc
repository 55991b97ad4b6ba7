#include "base/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <string_view>

#include "base/path_lookup.h"
#include "base/status.h"

namespace tessavar {
namespace {

constexpr int kSlotCount = 32;
constexpr size_t kMaxPathBytes = 4096;
// SIGHUP too: closing the terminal must not leave a half-written file.
constexpr std::array<int, 3> kCleanedSignals = {SIGINT, SIGTERM, SIGHUP};
constexpr int kNameAttempts = 100;
constexpr mode_t kNewFileMode = 0666;  // the umask takes its share
constexpr char kTemporaryPrefix[] = ".tessavar-";
// Marks the name as the program's own: a person's ".tessavar-backup" is
// never taken for a leftover.
constexpr char kTemporarySuffix[] = ".tmp";
constexpr char kNameCharacters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kRandomCharacters = 6;

// Fixed storage that the signal handler can read without allocating.
struct Slot {
  std::atomic<bool> used{false};
  char path[kMaxPathBytes] = {};
};

struct Registry {
  std::mutex mutex;
  // Held from a file's creation until it is locked, and by a cleaner while
  // it takes a lock: no thread of this process sees a new file unlocked.
  std::mutex locking;
  std::array<Slot, kSlotCount> slots;
  bool handlers_installed = false;
  // Files being created and not registered yet. A signal handled by
  // another thread meanwhile waits for them: the creating thread holds the
  // signals back, so it finishes.
  std::atomic<int> creating{0};
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

// Removes the registered files, then lets the signal take its default
// course (the handler was reset on entry; the signal stays blocked until
// the handler returns).
void RemoveAndRaise(int signal_number) {
  while (TheRegistry().creating.load(std::memory_order_acquire) > 0) {
  }
  for (Slot& slot : TheRegistry().slots) {
    if (slot.used.load(std::memory_order_acquire)) ::unlink(slot.path);
  }
  // Then the registered directories, emptied now (rmdir leaves files alone).
  for (Slot& slot : TheRegistry().slots) {
    if (slot.used.load(std::memory_order_acquire)) ::rmdir(slot.path);
  }
  ::raise(signal_number);
}

void InstallHandlers() {
  for (int signal_number : kCleanedSignals) {
    struct sigaction current = {};
    if (::sigaction(signal_number, nullptr, &current) != 0 ||
        current.sa_handler != SIG_DFL) {
      continue;  // ignored, or handled by the program itself
    }
    struct sigaction action = {};
    action.sa_handler = RemoveAndRaise;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal_number, &action, nullptr);
  }
}

std::string TemporaryName(const std::string& beside) {
  thread_local std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<size_t> pick(0, sizeof kNameCharacters - 2);
  std::string name = DirectoryOf(beside) + kTemporaryPrefix;
  for (int i = 0; i < kRandomCharacters; ++i) {
    name += kNameCharacters[pick(random)];
  }
  return name + kTemporarySuffix;
}

// Holds back the cleaning signals in this thread for its lifetime: one that
// came between the creation of a file and its registration would leave the
// file behind, and one handled while this thread holds the registry's lock
// could wait for it forever.
class HeldSignals {
 public:
  HeldSignals() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal_number : kCleanedSignals) sigaddset(&held, signal_number);
    ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
  }
  ~HeldSignals() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;

 private:
  sigset_t previous_;
};

// When this process started, in seconds since the epoch: the boot time
// plus the start tick of /proc/self/stat. Now, when /proc cannot tell.
time_t ProcessStartTime() {
  const time_t now = ::time(nullptr);
  std::ifstream stat_file("/proc/self/stat");
  std::string stat_line;
  if (!std::getline(stat_file, stat_line)) return now;
  // The command name may hold spaces; the fields after it are plain.
  const size_t after_name = stat_line.rfind(')');
  if (after_name == std::string::npos) return now;
  std::istringstream fields(stat_line.substr(after_name + 1));
  std::string field;
  // The start time is field 22; the state, field 3, comes first here.
  constexpr int kFieldsBeforeStartTime = 22 - 3;
  unsigned long long start_ticks = 0;
  for (int i = 0; i < kFieldsBeforeStartTime && fields >> field; ++i) {
  }
  if (!(fields >> start_ticks)) return now;
  std::ifstream boot_file("/proc/stat");
  std::string key;
  long long boot_time = -1;
  while (boot_file >> key) {
    if (key == "btime") {
      boot_file >> boot_time;
      break;
    }
  }
  const long ticks_per_second = ::sysconf(_SC_CLK_TCK);
  if (boot_time < 0 || ticks_per_second <= 0) return now;
  // The boot time moves by a second between readings as the clock is
  // adjusted: leave a margin, so that no file of this run looks older.
  constexpr long long kClockSlackSeconds = 2;
  return static_cast<time_t>(
      boot_time + static_cast<long long>(start_ticks) / ticks_per_second -
      kClockSlackSeconds);
}

// Removes one leftover when nobody holds it: the lock is free only once
// its writer has closed it or died.
bool RemoveIfAbandoned(int directory_fd, const char* name,
                       time_t process_start) {
  struct stat info = {};
  if (::fstatat(directory_fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISREG(info.st_mode) || info.st_mtime >= process_start) {
    return false;
  }
  // As in CreateTemporaryFile: a signal handled here must not wait for a
  // creating thread that waits for this lock.
  HeldSignals held;
  std::lock_guard<std::mutex> no_new_files(TheRegistry().locking);
  const int fd = ::openat(directory_fd, name,
                          O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  bool removed = false;
  struct stat opened = {};
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
      opened.st_ino == info.st_ino && opened.st_dev == info.st_dev) {
    removed = ::unlinkat(directory_fd, name, 0) == 0;
  }
  ::close(fd);
  return removed;
}

}  // namespace

bool IsTemporaryFileName(const std::string& name) {
  const size_t prefix_length = sizeof kTemporaryPrefix - 1;
  const std::string_view suffix = kTemporarySuffix;
  if (name.size() != prefix_length + kRandomCharacters + suffix.size() ||
      !name.starts_with(kTemporaryPrefix) || !name.ends_with(suffix)) {
    return false;
  }
  for (size_t i = prefix_length; i < prefix_length + kRandomCharacters; ++i) {
    if (std::strchr(kNameCharacters, name[i]) == nullptr) return false;
  }
  return true;
}

int RemoveStaleTemporaries(const std::string& directory) {
  const std::string opened = directory.empty() ? "." : directory;
  DIR* listing = ::opendir(opened.c_str());
  if (listing == nullptr) return 0;
  const time_t process_start = ProcessStartTime();
  int removed = 0;
  while (const dirent* entry = ::readdir(listing)) {
    if (IsTemporaryFileName(entry->d_name) &&
        RemoveIfAbandoned(::dirfd(listing), entry->d_name, process_start)) {
      ++removed;
    }
  }
  ::closedir(listing);
  return removed;
}

int CreateTemporaryFile(const std::string& beside, std::string* path,
                        int* slot) {
  HeldSignals held;
  TemporaryFiles::Instance().InstallSignalHandlers();
  Registry& registry = TheRegistry();
  registry.creating.fetch_add(1, std::memory_order_acq_rel);
  int fd = -1;
  std::unique_lock<std::mutex> unlocked_file(registry.locking);
  for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
    *path = TemporaryName(beside);
    fd = ::open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                kNewFileMode);
    if (fd < 0 && errno != EEXIST) break;
  }
  // A brand-new file: nobody else can hold it, so this cannot block.
  if (fd >= 0) (void)::flock(fd, LOCK_EX | LOCK_NB);
  const int saved_errno = errno;
  unlocked_file.unlock();
  if (fd >= 0) *slot = TemporaryFiles::Instance().Add(*path);
  registry.creating.fetch_sub(1, std::memory_order_acq_rel);
  errno = saved_errno;
  return fd;
}

ScopedTemporaryFile::ScopedTemporaryFile(const std::string& beside) {
  fd_ = CreateTemporaryFile(beside, &path_, &slot_);
  if (fd_ < 0) {
    throw RunTimeError(
        errno == ENOENT ? kErrPathNotFound : ErrorNumberFromErrno(errno),
        beside);
  }
}

ScopedTemporaryFile::~ScopedTemporaryFile() {
  ::unlink(path_.c_str());
  ::close(fd_);
  TemporaryFiles::Instance().Remove(slot_);
}

TemporaryFiles& TemporaryFiles::Instance() {
  static TemporaryFiles files;
  return files;
}

void TemporaryFiles::InstallSignalHandlers() {
  HeldSignals held;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  if (!registry.handlers_installed) {
    InstallHandlers();
    registry.handlers_installed = true;
  }
}

int TemporaryFiles::Add(const std::string& path) {
  if (path.size() >= kMaxPathBytes) return -1;
  InstallSignalHandlers();
  HeldSignals held;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  for (int i = 0; i < kSlotCount; ++i) {
    Slot& slot = registry.slots[i];
    if (slot.used.load(std::memory_order_relaxed)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.used.store(true, std::memory_order_release);
    return i;
  }
  return -1;
}

void TemporaryFiles::Remove(int slot) {
  if (slot < 0 || slot >= kSlotCount) return;
  HeldSignals held;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.slots[slot].used.store(false, std::memory_order_release);
}

int TemporaryFiles::Count() const {
  int count = 0;
  for (const Slot& slot : TheRegistry().slots) {
    count += slot.used.load(std::memory_order_acquire) ? 1 : 0;
  }
  return count;
}

}  // namespace tessavar
