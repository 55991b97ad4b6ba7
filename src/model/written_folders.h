// The folders outside the program directory that exports write into,
// remembered (newest first, a few) in a small file of the program
// directory before each export starts, so that the next start can remove
// what an export killed half-way left there.
#ifndef TESSAVAR_MODEL_WRITTEN_FOLDERS_H_
#define TESSAVAR_MODEL_WRITTEN_FOLDERS_H_

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "model/audio_renderer.h"

namespace tessavar {

inline constexpr char kWrittenFoldersFileName[] = "tvx-folders.txt";
inline constexpr size_t kWrittenFoldersKept = 16;

// The folders file of a program directory.
std::string WrittenFoldersPath(const std::string& program_directory);

// The folders the file names; none when it is missing or not such a file.
std::vector<std::string> ReadWrittenFolders(const std::string& path);

// Puts the folder first (once), keeps the newest kWrittenFoldersKept and
// writes the file atomically. False when it could not be written.
bool RememberWrittenFolder(const std::string& path, const std::string& folder);

// An audio renderer that remembers the folder of each export before it
// hands the export to the renderer it wraps.
class FolderRecordingRenderer : public AudioRenderer {
 public:
  FolderRecordingRenderer(AudioRenderer& renderer, std::string folders_file)
      : renderer_(renderer), folders_file_(std::move(folders_file)) {}

  RenderResult Render(const std::string& midi_path,
                      const std::string& audio_path,
                      const std::string& soundfont,
                      const RenderProgress& progress,
                      const std::vector<bool>& silent_tracks,
                      int bitrate_kbps) override;
  RenderResult RenderStems(const std::string& midi_path,
                           const std::string& directory, AudioFormat format,
                           const std::string& soundfont,
                           const RenderProgress& progress,
                           const std::vector<bool>& silent_tracks,
                           int bitrate_kbps) override;

 private:
  AudioRenderer& renderer_;
  std::string folders_file_;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_WRITTEN_FOLDERS_H_
