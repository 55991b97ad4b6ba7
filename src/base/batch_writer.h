// Writes the output files of a run, safely as WriteFileAtomically does.
// A run of many new files is flushed to the disk once at its end, one
// syncfs per file system, instead of once per file: for thousands of small
// files the flushes, not the writing, would take most of the time.
#ifndef TESSAVAR_BASE_BATCH_WRITER_H_
#define TESSAVAR_BASE_BATCH_WRITER_H_

#include <sys/types.h>

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/atomic_file.h"

namespace tessavar {

class BatchWriter {
 public:
  // With kFlushEach every file is flushed as it is written and Finish has
  // nothing to do. protection applies to every file written.
  explicit BatchWriter(Durability durability,
                       WriteProtection protection = WriteProtection::kRespect)
      : durability_(durability), protection_(protection) {}

  // Writes path through an AtomicFile; may be called from several threads.
  // Throws RunTimeError as WriteFileAtomically does.
  void Write(const std::string& path, std::string_view bytes,
             const std::vector<std::string>& inputs = {});

  // Flushes the file systems written to so far. Throws RunTimeError naming
  // a directory whose file system could not be flushed.
  void Finish();

 private:
  void Remember(const std::string& path);

  Durability durability_;
  WriteProtection protection_;
  std::mutex mutex_;
  // A directory on each file system written to, by device.
  std::map<dev_t, std::string> directories_;
};

}  // namespace tessavar

#endif  // TESSAVAR_BASE_BATCH_WRITER_H_
