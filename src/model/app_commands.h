// The main window's commands without the window: start-up, shut-down, the
// file commands with their dialogs, the two note-entry commands and the
// option toggles, over the program state and the interfaces of the boxes,
// the error report, the player and the window around them. The desktop
// program calls these from its menus and buttons; tests call them directly.
#ifndef TESSAVAR_MODEL_APP_COMMANDS_H_
#define TESSAVAR_MODEL_APP_COMMANDS_H_

#include <functional>
#include <string>
#include <string_view>

#include "model/error_reporter.h"
#include "model/program_state.h"
#include "model/ui_host.h"
#include "model/user_dialogs.h"
#include "platform/audio_renderer.h"
#include "model/player.h"

namespace tessavar {

// The set-up of the file dialog for a file kind: title, described filter
// ("Compositions (*.tvx)"), default extension; Open dialogs require the
// file to exist.
FileDialogRequest FileDialogFor(const std::string& title,
                                std::string_view extension, bool open);

class AppCommands {
 public:
  AppCommands(ProgramState& state, UserDialogs& dialogs, ErrorReporter& errors,
              Player& player, UiHost& ui);
  ~AppCommands();

  ProgramState& state() { return state_; }
  bool activated_once() const { return activated_once_; }

  // What the window does for the commands (empty = nothing).
  struct WindowHooks {
    std::function<void()> focus_compose_button;
    // Shows the about window without blocking (the start-up splash).
    std::function<void()> show_splash;
    // Shows the composition information window modally.
    std::function<void()> edit_composition_info;
    // Makes the player use a SoundFont from its next Open on (empty = the
    // system's default).
    std::function<void(const std::string&)> apply_soundfont;
  };
  WindowHooks hooks;

  // A composition named on the command line: loaded as File > Load does,
  // once the start-up has loaded the defaults.
  std::string file_to_open;

  // --- Life cycle ----------------------------------------------------------
  // The first activation of the main window: resets the program, loads the
  // default composition and its MIDI file silently, forgets their paths,
  // shows the splash and reads the settings. Later calls do nothing (false).
  bool FirstActivation();
  // The shut-down: closes the player, saves the panel as the default
  // composition and the working MIDI file as the default MIDI file (the
  // composition's own paths are restored afterwards) and the settings. A
  // settings file that cannot be written is ignored, and so is a missing
  // working MIDI file (nothing composed yet).
  void FormExit();

  // --- File commands -------------------------------------------------------
  void FileLoadComposition();
  // Loads a composition and its MIDI file, as File > Load does after its
  // dialog.
  void LoadComposition(const std::string& path);
  void FileSaveCompositionAs();
  // Saves the composition under its current name without asking for one
  // (Save As when it has none yet).
  void FileSaveComposition();
  void FileLoadOrchestration();
  void FileSaveOrchestration();
  void FileLoadScaleX();
  void FileSaveScaleX();
  // The melody input box; then, every time, the tonality goes back to its
  // first entry and mapped parameter 13 to "0".
  void FileMelodyXlate();
  // The scale input box; a cancelled or empty answer keeps the scale.
  void FileUserDefinedScale();

  // Renders the working MIDI file to a WAV file chosen by the user; the
  // progress callback may cancel. The tracks marked silent are left out.
  void FileExportAudio(const RenderProgress& progress = {},
                       const std::vector<bool>& silent_tracks = {});

  // Asks for a SoundFont file, remembers it in the options (the settings
  // file keeps it) and has the player reopen its file with it.
  void OptionsSoundFont();

  // --- Options: each click inverts one check mark and does nothing else ---
  void ToggleAutoplay() { state_.options.autoplay = !state_.options.autoplay; }
  void ToggleAutoplayRedo() {
    state_.options.autoplay_redo = !state_.options.autoplay_redo;
  }
  void ToggleLockMapped() {
    state_.options.lock_mapped = !state_.options.lock_mapped;
  }

 private:
  // Asks for a file name, offering the current *path; on an answer sets
  // *path to it (creating its
  // directory first for a save) with the extension replaced. False when
  // the dialog was cancelled or answered with an empty name.
  // Writes the composition, its MIDI file and the composition information
  // (edited first when asked) under state.composition_path.
  void SaveComposition(bool edit_info);
  bool ChooseFile(const std::string& title, std::string_view extension,
                  bool open, std::string* path);

  ProgramState& state_;
  UserDialogs& dialogs_;
  ErrorReporter& errors_;
  Player& player_;
  UiHost& ui_;
  bool activated_once_ = false;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_APP_COMMANDS_H_
