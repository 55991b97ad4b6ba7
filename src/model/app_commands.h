// The main window's commands without the window: start-up, shut-down, the
// file commands with their dialogs, the two note-entry commands and the
// option toggles, over the program state and the interfaces of the boxes,
// the error report, the player and the window around them. The desktop
// program calls these from its menus and buttons; tests call them directly.
#ifndef TESSAVAR_MODEL_APP_COMMANDS_H_
#define TESSAVAR_MODEL_APP_COMMANDS_H_

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/audio_renderer.h"
#include "model/command_state.h"
#include "model/error_reporter.h"
#include "model/player.h"
#include "model/program_state.h"
#include "model/ui_host.h"
#include "model/user_dialogs.h"

namespace tessavar {

class BrowseSession;

// The set-up of the file dialog for a file kind: title, described filter
// ("Compositions (*.tvx)"), default extension; Open dialogs require the
// file to exist.
FileDialogRequest FileDialogFor(const std::string& title,
                                std::string_view extension, bool open);

class AppCommands {
 public:
  // Export Audio renders through the renderer, which the caller keeps;
  // without one there is nothing to export with.
  AppCommands(ProgramState& state, UserDialogs& dialogs, ErrorReporter& errors,
              Player& player, UiHost& ui,
              AudioRenderer* audio_renderer = nullptr);
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
    // Closes a progress display, so that no box opens under it.
    std::function<void()> close_progress;
  };
  void SetWindowHooks(WindowHooks hooks) { hooks_ = std::move(hooks); }
  // Makes the player use a SoundFont from its next Open on (empty = the
  // system's default).
  using SoundFontSetter = std::function<void(const std::string&)>;
  void SetSoundFontSetter(SoundFontSetter setter) {
    apply_soundfont_ = std::move(setter);
  }

  // A composition named on the command line: opened as OpenComposition
  // opens it, once the start-up has loaded the defaults.
  void OpenAfterStartUp(std::string path) { file_to_open_ = std::move(path); }
  const std::string& file_to_open() const { return file_to_open_; }

  // Which commands can be used now; with the browse session also the undo
  // and redo of changes.
  CommandAvailability Availability(const BrowseSession* browse = nullptr) const;

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
  void ShutDown();

  // --- File commands -------------------------------------------------------
  void FileLoadComposition();
  // Loads a composition and its MIDI file, as File > Load does after its
  // dialog. A MIDI file (".mid") loads with the composition of the same
  // name beside it; without one it is only listened to and looked at (see
  // ListeningToMidiOnly). A file that is not a composition is refused with
  // a message, and nothing changes.
  void LoadComposition(const std::string& path);
  // A composition opened from outside the program (the command line, the
  // file manager, a drop, a second start): loaded as LoadComposition loads
  // it, except that a composition whose MIDI file is missing loads without
  // a word and its music is to be composed from the panel (see
  // TakeComposeRequest).
  void OpenComposition(const std::string& path);
  // True once after an open that left the panel's music to be composed.
  bool TakeComposeRequest() { return std::exchange(compose_requested_, false); }
  // File > Recent Compositions: loads the entry when its file is still there
  // under that exact name; otherwise says so and offers to remove it from
  // the list. True when the composition was loaded.
  bool OpenRecentComposition(const std::string& path);
  void FileSaveCompositionAs();
  // Saves the composition under its current name without asking for one
  // (Save As when it has none yet).
  void FileSaveComposition();
  void FileLoadOrchestration();
  void FileSaveOrchestration();
  void FileLoadScale();
  void FileSaveScale();
  // The melody input box; unless it is cancelled, the tonality then goes
  // back to its first entry and mapped parameter 13 to "0".
  void FileMelodyToStructure();
  // The scale input box; a cancelled or empty answer keeps the scale.
  void FileUserDefinedScale();

  // Renders the working MIDI file to an audio file chosen by the user
  // (the composition's name is offered), in the format of its extension
  // (WAV without one); with stems, to one file per sounding track in a
  // chosen folder, in a chosen format ("03 Violin.flac"). The progress
  // callback may cancel. The tracks marked silent are left out. A notice
  // names what was written and the tracks left out. Only music the panel
  // as it stands produced is exported (the rule of the Save button).
  void FileExportAudio(const RenderProgress& progress = {},
                       const std::vector<bool>& silent_tracks = {},
                       bool stems = false);
  // Writes the music in hand for a DAW or a notation program, named after
  // the composition: an exchange MIDI file, or a MusicXML score (.mxl
  // compressed). Only music the panel as it stands produced is exported.
  void FileExportExchangeMidi();
  void FileExportMusicXml();
  // The player holds a MIDI file that was loaded without a composition:
  // Save, Export and Redo are off and the panel is not its composition.
  bool ListeningToMidiOnly() const;
  // The window's title: the program's name with the composition's file as
  // it is on disk (none before it was loaded or saved under a name) and a
  // mark for unsaved changes, or naming the file listened to while there
  // is one.
  std::string WindowTitle() const;
  // The panel differs from the composition as last loaded or saved.
  bool HasUnsavedChanges() const;

  // Called periodically: when the working MIDI file of the music in hand
  // has gone, playback stops and Save is switched off, with a status line
  // naming the file. True when that happened now.
  bool CheckWorkingFile();

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
  // Writes the composition, its MIDI file and the composition information
  // (edited first when asked) under state.composition_path.
  void SaveComposition(bool edit_info);
  // Both halves of a save can be made: the working MIDI file is there and
  // the MIDI target can be written. Reports what stands in the way.
  bool PairCanBeSaved();
  // The working MIDI file has gone: playback stops, Save is off.
  void WorkingFileLost();
  // What a load does when the composition's MIDI file is not there.
  enum class MissingMusic { kReport, kCompose };
  // Loads a composition file (found by the exact-name rule) and its
  // companion MIDI file.
  void LoadCompositionFile(const std::string& path,
                           MissingMusic missing = MissingMusic::kReport);
  // Opens a MIDI file without a composition in the player, to listen.
  void ListenToMidiFile(const std::string& path);
  // After a load that failed before the panel changed.
  void LetGoOfMusic();
  // The composition as it stands is what the file (empty: no named file)
  // holds.
  void MarkSaved(const std::string& file);
  // Asks for a file name, offering the current *path; on an answer sets
  // *path to it (creating its
  // directory first for a save) with the extension replaced. False when
  // the dialog was cancelled or answered with an empty name.
  // For a save, written gives the files that will really be written under
  // the chosen name; when any of them exists the user is asked first, and
  // No leaves *path as it was.
  using WrittenFiles =
      std::function<std::vector<std::string>(const std::string&)>;
  bool ChooseFile(const std::string& title, std::string_view extension,
                  bool open, std::string* path,
                  const WrittenFiles& written = {});
  // Asks for an audio file name; a name of an unknown format is refused with
  // a message. False when cancelled or refused.
  bool ChooseAudioFile(const std::string& title, std::string* path);
  // Asks for the stems' folder and format. False when cancelled.
  bool ChooseStemsTarget(std::string* folder, AudioFormat* format);
  // Asks for the bit rate of a format that has one (else leaves *kbps).
  // False when cancelled.
  bool ChooseBitrate(const std::string& title, AudioFormat format, int* kbps);
  // The box that ends an export: the files written and the muted tracks
  // left out.
  void ShowExportDone(const std::vector<std::string>& files,
                      const std::vector<std::string>& left_out);
  // The working MIDI file when it holds music the panel produced; else
  // the empty text, after telling the user why there is none.
  std::string MusicToExport(bool can_render = true);
  // Asks for the file of an exchange export and writes it.
  void ExportExchange(const std::string& title, const std::string& filter,
                      std::string_view extension);
  // True when none of the files exists or the user agrees to replace them.
  bool ConfirmReplacing(const std::string& title,
                        const std::vector<std::string>& files);

  ProgramState& state_;
  UserDialogs& dialogs_;
  ErrorReporter& errors_;
  Player& player_;
  UiHost& ui_;
  AudioRenderer* audio_renderer_;
  WindowHooks hooks_;
  SoundFontSetter apply_soundfont_;
  std::string file_to_open_;
  bool activated_once_ = false;
  bool compose_requested_ = false;
  // The MIDI file last opened without a composition (empty = none).
  std::string listened_midi_;
  // Whether the working file was the panel's music when listening began.
  bool working_is_panels_ = false;
  // The composition's file as on disk, and its bytes as last loaded or
  // saved (none: nothing to compare with yet).
  std::string title_file_;
  std::optional<std::string> saved_bytes_;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_APP_COMMANDS_H_
