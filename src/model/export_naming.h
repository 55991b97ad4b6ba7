// What every export shares around its own writer: the name it offers first
// and the notice it gives when done.
#ifndef TESSAVAR_MODEL_EXPORT_NAMING_H_
#define TESSAVAR_MODEL_EXPORT_NAMING_H_

#include <string>
#include <string_view>
#include <vector>

namespace tessavar {

// The file an export offers first: the composition's name with the
// extension, in the composition's folder (the current one without a
// composition).
std::string SuggestedExportFile(const std::string& composition_path,
                                std::string_view extension);

// The composition's name in its folder, without extension ("/music/song"
// for "/music/song.tvx").
std::string SuggestedExportFolder(const std::string& composition_path);

// Where an export of several files goes in the folder chosen: a folder
// named after the composition in it, unless the chosen folder has that
// name already ("/out" gives "/out/song", "/out/song" stays).
std::string ExportFolderIn(const std::string& chosen,
                           const std::string& composition_path);

// The notice after an export: the files written (one is named, more are
// counted) and where, then the tracks left out because they were muted.
std::string ExportFinishedText(const std::vector<std::string>& files,
                               const std::vector<std::string>& left_out);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_EXPORT_NAMING_H_
