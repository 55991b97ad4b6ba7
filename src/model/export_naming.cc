#include "model/export_naming.h"

#include <filesystem>

#include "files/file_names.h"
#include "model/drag_drop_rules.h"

namespace tessavar {
namespace {

std::string FolderOf(const std::string& path) {
  return std::filesystem::path(path).parent_path().string();
}

}  // namespace

std::string SuggestedExportFolder(const std::string& composition_path) {
  const std::string name = PieceName(composition_path);
  const std::string folder = FolderOf(composition_path);
  return folder.empty() ? name : folder + "/" + name;
}

std::string ExportFolderIn(const std::string& chosen,
                           const std::string& composition_path) {
  const std::string name = PieceName(composition_path);
  std::string folder = chosen;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return DisplayFileName(folder) == name ? folder : folder + "/" + name;
}

std::string SuggestedExportFile(const std::string& composition_path,
                                std::string_view extension) {
  return SuggestedExportFolder(composition_path) + "." + std::string(extension);
}

std::string ExportFinishedText(const std::vector<std::string>& files,
                               const std::vector<std::string>& left_out) {
  if (files.empty()) return "Nothing was exported.";
  std::string text =
      files.size() == 1 ? "Exported " + DisplayFileName(files[0])
                        : "Exported " + std::to_string(files.size()) + " files";
  const std::string folder = FolderOf(files[0]);
  text += folder.empty() ? "." : " to\n" + folder + ".";
  if (left_out.empty()) return text;
  text += "\n\nLeft out because muted:";
  for (const std::string& track : left_out) text += "\n" + track;
  return text;
}

}  // namespace tessavar
