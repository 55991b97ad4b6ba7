#include "model/drag_drop_rules.h"

#include <algorithm>
#include <string_view>

#include "base/text.h"

namespace tessavar {
namespace {

constexpr char kDraggedExtension[] = ".mid";
// The extensions a drop loads, in lower case.
constexpr std::string_view kLoadedExtensions[] = {".tvx", ".mid"};

// The last path component without its extension ("a/b.c.tvx" gives "b.c").
std::string Stem(const std::string& path) {
  const std::string name = path.substr(FileNameStart(path));
  return name.substr(0, name.find_last_of('.'));
}

std::string LowerCaseExtension(const std::string& path) {
  const std::string name = path.substr(FileNameStart(path));
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return {};
  return AsciiLower(name.substr(dot));
}

}  // namespace

std::string PieceName(const std::string& composition_path) {
  const std::string stem = Stem(composition_path);
  const bool named = stem.find_first_not_of(" .") != std::string::npos;
  return named ? stem : std::string(kUntitledPieceName);
}

std::string DraggedMidiFileName(const std::string& composition_path) {
  return PieceName(composition_path) + kDraggedExtension;
}

DropDecision DecideDrop(const std::vector<std::string>& local_files,
                        const CommandAvailability& commands,
                        bool from_this_window) {
  if (from_this_window || local_files.size() != 1 || !commands.load ||
      !commands.file_commands) {
    return {};
  }
  const std::string& path = local_files.front();
  const std::string extension = LowerCaseExtension(path);
  const bool loaded =
      std::find(std::begin(kLoadedExtensions), std::end(kLoadedExtensions),
                extension) != std::end(kLoadedExtensions);
  if (!loaded) return {};
  return {DropCommand::kLoadComposition, path};
}

}  // namespace tessavar
