#include "model/written_folders.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "base/file_system.h"
#include "base/status.h"

namespace tessavar {
namespace {

constexpr char kHeading[] = "Tessavar Composer folders 1";

// The folder as an absolute path without a trailing "/", so that one
// folder is remembered once.
std::string Normalized(const std::string& folder) {
  std::error_code error;
  std::filesystem::path path = std::filesystem::absolute(folder, error);
  if (error) return {};
  std::string text = path.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

std::string WrittenFoldersPath(const std::string& program_directory) {
  return (std::filesystem::path(program_directory) / kWrittenFoldersFileName)
      .string();
}

std::vector<std::string> ReadWrittenFolders(const std::string& path) {
  std::vector<std::string> folders;
  if (!FileExists(path)) return folders;
  std::string bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const RunTimeError&) {
    return folders;
  }
  std::istringstream lines(bytes);
  std::string line;
  if (!std::getline(lines, line) || line != kHeading) return folders;
  while (std::getline(lines, line) && folders.size() < kWrittenFoldersKept) {
    if (!line.empty()) folders.push_back(line);
  }
  return folders;
}

bool RememberWrittenFolder(const std::string& path, const std::string& folder) {
  const std::string normal = Normalized(folder);
  // A name with a line end cannot be a line of the file.
  if (normal.empty() || normal.find('\n') != std::string::npos) return false;
  std::vector<std::string> folders = ReadWrittenFolders(path);
  if (!folders.empty() && folders.front() == normal) return true;
  std::erase(folders, normal);
  folders.insert(folders.begin(), normal);
  if (folders.size() > kWrittenFoldersKept) folders.resize(kWrittenFoldersKept);
  std::string bytes = std::string(kHeading) + "\n";
  for (const std::string& name : folders) bytes += name + "\n";
  try {
    WriteFileAtomically(path, bytes);
  } catch (const RunTimeError&) {
    return false;
  }
  return true;
}

RenderResult FolderRecordingRenderer::Render(
    const std::string& midi_path, const std::string& audio_path,
    const std::string& soundfont, const RenderProgress& progress,
    const std::vector<bool>& silent_tracks, int bitrate_kbps) {
  const std::string folder = DirectoryOf(audio_path);
  RememberWrittenFolder(folders_file_, folder.empty() ? "." : folder);
  return renderer_.Render(midi_path, audio_path, soundfont, progress,
                          silent_tracks, bitrate_kbps);
}

RenderResult FolderRecordingRenderer::RenderStems(
    const std::string& midi_path, const std::string& directory,
    AudioFormat format, const std::string& soundfont,
    const RenderProgress& progress, const std::vector<bool>& silent_tracks,
    int bitrate_kbps) {
  RememberWrittenFolder(folders_file_, directory);
  return renderer_.RenderStems(midi_path, directory, format, soundfont,
                               progress, silent_tracks, bitrate_kbps);
}

}  // namespace tessavar
