#include "model/text_file_writer.h"

#include "base/file_system.h"

namespace tessavar {

bool WriteTextFile(const std::string& path, std::string_view bytes,
                   ErrorReporter& reporter) {
  std::string target = LowerCaseFileName(path);
  return RunWithRetry(reporter, [&] { WriteFileAtomically(target, bytes); })
      .ok();
}

}  // namespace tessavar
