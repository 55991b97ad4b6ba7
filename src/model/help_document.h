// The help document: an RTF file in the program directory, shown as HTML
// in the help window.
#ifndef TESSAVAR_MODEL_HELP_DOCUMENT_H_
#define TESSAVAR_MODEL_HELP_DOCUMENT_H_

#include <string>

#include "base/status.h"

namespace tessavar {

// The document at path (looked up case-insensitively) as HTML for a
// rich-text viewer, or why it cannot be read.
Result<std::string> ReadHelpDocument(const std::string& path);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_HELP_DOCUMENT_H_
