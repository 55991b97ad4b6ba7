// The main window's commands without the window: start-up, shut-down, the
// file commands with their dialogs, the two note-entry commands and the
// option toggles, over the program state and the interfaces of the boxes,
// the error report, the player and the window around them. The desktop
// program calls these from its menus and buttons; tests call them directly.
#ifndef TESSAVAR_APP_APP_COMMANDS_H_
#define TESSAVAR_APP_APP_COMMANDS_H_

#include <functional>
#include <string>

#include "app/error_report.h"
#include "app/program_state.h"
#include "app/ui_host.h"
#include "app/user_dialogs.h"
#include "platform/player.h"

namespace tessavar {

// The path with the extension of its file name (from the last "." of the
// last component) replaced by "." + extension, or "." + extension appended
// when the file name has none.
std::string ReplaceExtension(const std::string& path,
                             const std::string& extension);

// The set-up of the file dialog for a file kind: title, filter "*.<ext>",
// default extension; Open dialogs require the file to exist.
FileDialogRequest FileDialogFor(const std::string& title,
                                const std::string& extension, bool open);

class AppCommands {
 public:
  AppCommands(ProgramState& state, UserDialogs& dialogs, ErrorReporter& errors,
              Player& player, UiHost& ui);

  ProgramState& state() { return state_; }

  // What the window does for the commands (empty = nothing).
  struct WindowHooks {
    std::function<void()> focus_compose_button;
    // Shows the about window without blocking (the start-up splash).
    std::function<void()> show_splash;
    // Shows the composition information window modally.
    std::function<void()> edit_composition_info;
  };
  WindowHooks hooks;

  // The options' check marks; each click inverts one and does nothing
  // else.
  void ToggleAutoplay() { state_.options.autoplay = !state_.options.autoplay; }
  void ToggleAutoplayRedo() {
    state_.options.autoplay_redo = !state_.options.autoplay_redo;
  }
  void ToggleLockMapped() {
    state_.options.lock_mapped = !state_.options.lock_mapped;
  }

 private:
  ProgramState& state_;
  UserDialogs& dialogs_;
  ErrorReporter& errors_;
  Player& player_;
  UiHost& ui_;
};

}  // namespace tessavar

#endif  // TESSAVAR_APP_APP_COMMANDS_H_
