// Writing the program's text files with Retry and Cancel on failure.
#ifndef TESSAVAR_MODEL_TEXT_FILE_WRITER_H_
#define TESSAVAR_MODEL_TEXT_FILE_WRITER_H_

#include <string>
#include <string_view>

#include "model/error_reporter.h"

namespace tessavar {

// Writes a file atomically under its lower-cased file name, with Retry and
// Cancel on failure; true when written.
bool WriteTextFile(const std::string& path, std::string_view bytes,
                   ErrorReporter& reporter);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_TEXT_FILE_WRITER_H_
