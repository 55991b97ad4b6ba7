#include "model/help_document.h"

#include "base/file_system.h"
#include "files/rtf_reader.h"

namespace tessavar {

Result<std::string> ReadHelpDocument(const std::string& path) {
  try {
    return RtfToHtml(ReadWholeFile(path));
  } catch (const RunTimeError& error) {
    return error.status();
  }
}

}  // namespace tessavar
