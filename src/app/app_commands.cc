#include "app/app_commands.h"

namespace tessavar {

std::string ReplaceExtension(const std::string& path,
                             const std::string& extension) {
  const size_t slash = path.find_last_of('/');
  const size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.find_last_of('.');
  std::string base = path;
  if (dot != std::string::npos && dot >= name_start) base = path.substr(0, dot);
  return base + "." + extension;
}

FileDialogRequest FileDialogFor(const std::string& title,
                                const std::string& extension, bool open) {
  FileDialogRequest request;
  request.title = title;
  request.filter = "*." + extension;
  request.default_extension = extension;
  request.must_exist = open;
  return request;
}

AppCommands::AppCommands(ProgramState& state, UserDialogs& dialogs,
                         ErrorReporter& errors, Player& player, UiHost& ui)
    : state_(state),
      dialogs_(dialogs),
      errors_(errors),
      player_(player),
      ui_(ui) {
  // A stale score closes the player, and the panel's own yields reach the
  // window.
  state_.panel.on_score_cleared = [this] { player_.Close(); };
  state_.panel.on_yield = [this] { ui_.Yield(); };
}

}  // namespace tessavar
