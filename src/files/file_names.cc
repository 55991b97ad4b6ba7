#include "files/file_names.h"

#include "base/text.h"

namespace tessavar {

std::string ReplaceExtension(const std::string& path,
                             std::string_view extension) {
  size_t start = FileNameStart(path);
  size_t dot = path.find_last_of('.');
  std::string stem =
      dot != std::string::npos && dot >= start ? path.substr(0, dot) : path;
  return stem + "." + std::string(extension);
}

std::string CompanionMidiPath(const std::string& composition_path) {
  return ReplaceExtension(composition_path, "MID");
}

std::string DisplayFileName(const std::string& path) {
  return path.substr(FileNameStart(path));
}

std::string CaptionWithFileName(const std::string& caption,
                                const std::string& path) {
  return caption.substr(0, caption.find(" [")) + " [" + DisplayFileName(path) +
         "]";
}

}  // namespace tessavar
