#include "base/batch_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/file_system.h"
#include "base/status.h"

namespace tessavar {

void BatchWriter::Write(const std::string& path, std::string_view bytes,
                        const std::vector<std::string>& inputs) {
  WriteFileAtomically(path, bytes, inputs, durability_, protection_);
  if (durability_ == Durability::kFlushNewLater) Remember(path);
}

void BatchWriter::Remember(const std::string& path) {
  const std::string parent = DirectoryOf(ResolveOutputPath(path));
  const char* directory = parent.empty() ? "." : parent.c_str();
  struct stat info = {};
  if (::stat(directory, &info) != 0) return;
  std::lock_guard<std::mutex> lock(mutex_);
  directories_.try_emplace(info.st_dev, directory);
}

void BatchWriter::Finish() {
  std::map<dev_t, std::string> directories;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    directories.swap(directories_);
  }
  for (const auto& [device, directory] : directories) {
    const int fd =
        ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      // A directory removed during the run: its files went with it.
      throw RunTimeError(
          errno == ENOENT ? kErrPathNotFound : ErrorNumberFromErrno(errno),
          directory);
    }
    const int result = ::syncfs(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0) throw RunTimeError(ErrorNumberFromErrno(error), directory);
  }
}

}  // namespace tessavar
