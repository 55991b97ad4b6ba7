// The main window "Tessavar Composer": the parameter panel, the command
// buttons, the player strip with its position slider, the status line and
// the menus. It displays the program state and hands every command to
// AppCommands and the compose and redo commands.
#ifndef TESSAVAR_UI_MAIN_WINDOW_H_
#define TESSAVAR_UI_MAIN_WINDOW_H_

#include <QMainWindow>
#include <QRect>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/app_commands.h"
#include "model/audio_renderer.h"
#include "model/browse_session.h"
#include "model/compose_command.h"
#include "model/playback_monitor.h"
#include "model/program_state.h"
#include "model/settings_file_io.h"
#include "ui/qt_ui_host.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace tessavar {

class AboutWindow;
class HelpWindow;
class HistoryWindow;
class MidiDragCopies;
class PanelView;
class PlaybackStrip;
class RollView;

// The menus and their items, as the window made them.
struct MainMenus {
  QMenu* file = nullptr;
  QAction* load_composition = nullptr;
  QAction* save_composition = nullptr;
  QAction* save_again = nullptr;
  QMenu* recent = nullptr;
  QAction* composition_info = nullptr;
  QAction* load_orchestration = nullptr;
  QAction* save_orchestration = nullptr;
  QAction* define_scale = nullptr;
  QAction* load_scale = nullptr;
  QAction* save_scale = nullptr;
  QAction* melody_to_structure = nullptr;
  QAction* midi_map = nullptr;
  QAction* export_audio = nullptr;
  QAction* export_stems = nullptr;
  QAction* export_exchange_midi = nullptr;
  QAction* export_music_xml = nullptr;
  QAction* exit = nullptr;

  QMenu* edit = nullptr;
  QAction* undo_change = nullptr;
  QAction* redo_change = nullptr;
  QAction* previous_mapping = nullptr;
  QAction* next_mapping = nullptr;
  QAction* history = nullptr;

  QMenu* options = nullptr;
  QAction* autoplay = nullptr;
  QAction* autoplay_redo = nullptr;
  QAction* lock_mapped = nullptr;
  QAction* soundfont = nullptr;

  QMenu* help = nullptr;
  QAction* help_file = nullptr;
  QAction* about = nullptr;
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // The program directory is the current directory at this moment. Export
  // Audio renders through the renderer.
  MainWindow(ProgramState& state, Player& player, AudioRenderer& renderer,
             UserDialogs& dialogs, ErrorReporter& errors,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  AppCommands& commands() { return *commands_; }
  BrowseSession& browse() { return *browse_; }
  HistoryWindow* history_window() const { return history_window_; }
  QPushButton* previous_mapping_button() const {
    return previous_mapping_button_;
  }
  QPushButton* next_mapping_button() const { return next_mapping_button_; }
  PanelView& panel_view() { return *panel_view_; }
  PlaybackStrip& playback_strip() { return *strip_; }
  RollView& roll_view() { return *roll_; }
  QPushButton* compose_button() const { return compose_button_; }
  QPushButton* redo_button() const { return redo_button_; }
  QPushButton* load_button() const { return load_button_; }
  QPushButton* save_button() const { return save_button_; }
  QLabel* status_line() const { return status_line_; }
  HelpWindow* help_window() const { return help_window_; }
  AboutWindow* about_window() const { return about_window_; }
  const MainMenus& menus() const { return menus_; }

  // Shows the program state in every widget.
  void Refresh();

  // A composition handed over by a second start of the program (empty:
  // none): the window comes to the front and loads it as File > Load does,
  // once no command or dialog is running.
  void OpenHandedOver(const std::string& path);
  // False once the window has begun to close.
  bool AcceptsHandOver() const { return !exited_ && !closing_on_signal_; }
  // SIGTERM, SIGHUP or SIGINT: every dialog is dismissed (as Cancel or
  // Escape would) and the window closes through the normal exit path once
  // the command running has ended.
  void CloseOnSignal();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildFileMenu();
  void BuildEditMenu();
  void BuildOptionsMenu();
  // Every command's availability now.
  CommandAvailability Availability() const;
  // Enables the buttons and menu items as the availability says.
  void ShowAvailability();
  void FillRecentMenu();
  // Opens a composition from outside the program (a drop, a second start).
  void OpenComposition(const std::string& path);
  // Composes the music of a composition opened without it.
  void ComposeIfRequested();
  // After a load: the history learns of the new piece, the roll shows it.
  void ShowLoadedPiece();
  // The MIDI tile drags the piece out; files dropped on the window load.
  void ConnectDragAndDrop();
  void ConnectBrowsing();
  // Sets the mapping one further and composes it.
  void StepMapping(int direction);
  // Brings back a piece of the history (composing it when its music is not
  // at hand) and, when asked, saves it.
  void RestorePiece(int index, bool save);
  // A command changed the settings: one undo step.
  void SettingsChanged();
  QWidget* BuildCentralWidget();
  void SetTabOrder();
  // The window's size is kept in a file of its own across runs.
  void RestoreSize();
  void KeepSize();
  std::string WindowSizePath() const;
  // The screen's area that windows may use.
  QRect ScreenArea() const;
  void PlaceOnScreen();
  void ConnectPlaybackStrip();
  // The roll follows the file in the player, its playhead the position;
  // its clicks seek, its loop and mute and solo go to the player.
  void ConnectRoll();
  void SyncRollWithPlayer();
  void ApplyLoop();
  // Space and Home for the transport.
  void AddTransportKeys();
  // The player's periodic status update, while a file is open.
  void PollPlayer();
  // One audio file, or one per track (stems).
  void ExportAudio(bool stems);
  void ConnectCommandButtons();
  void Compose();
  void Redo();
  void ConnectDialogCommands();
  void EditCompositionInfo();
  void RunFirstActivation();
  // What waits for the window to be free of commands and dialogs: the
  // compositions handed over, and the close a signal asked for.
  void RunDeferred();
  // Writes the settings file when the options changed.
  void KeepSettings();
  // A second shortcut is shown beside the first in the menu.
  QAction* AddMenuItem(QMenu* menu, const QString& text,
                       const QKeySequence& shortcut = {},
                       const QKeySequence& second_shortcut = {});
  // A menu item that reads or writes the program's files: it waits while
  // Compose or Redo runs.
  QAction* AddFileCommand(QMenu* menu, const QString& text,
                          const QKeySequence& shortcut = {},
                          const QKeySequence& second_shortcut = {});
  // Runs a command on the action and shows the state it leaves.
  void Connect(QAction* action, void (AppCommands::*command)());

  ProgramState& state_;
  Player& player_;
  UserDialogs& dialogs_;
  ErrorReporter& errors_;
  QtUiHost ui_host_;
  std::unique_ptr<AppCommands> commands_;
  std::unique_ptr<BrowseSession> browse_;
  PlaybackMonitor monitor_;

  PanelView* panel_view_ = nullptr;
  PlaybackStrip* strip_ = nullptr;
  QPushButton* compose_button_ = nullptr;
  QPushButton* redo_button_ = nullptr;
  QPushButton* load_button_ = nullptr;
  QPushButton* save_button_ = nullptr;
  QPushButton* previous_mapping_button_ = nullptr;
  QPushButton* next_mapping_button_ = nullptr;
  HistoryWindow* history_window_ = nullptr;
  QLabel* status_line_ = nullptr;
  HelpWindow* help_window_ = nullptr;
  AboutWindow* about_window_ = nullptr;
  QTimer* splash_timer_ = nullptr;
  QTimer* status_timer_ = nullptr;
  RollView* roll_ = nullptr;
  QTimer* playhead_timer_ = nullptr;
  // The file the roll shows: path, size and modification time.
  std::string roll_file_key_;
  bool exited_ = false;
  std::unique_ptr<ComposeCommand> compose_;
  MainMenus menus_;
  // The items made by AddFileCommand.
  std::vector<QAction*> file_commands_;
  // The window was closed while Compose, Redo or an export was running.
  bool close_pending_ = false;
  bool exporting_ = false;
  // Closes the running export's progress dialog (empty: none running).
  std::function<void()> close_progress_;
  bool closing_on_signal_ = false;
  std::vector<std::string> handed_over_;
  QTimer* deferred_timer_ = nullptr;
  SettingsKeeper settings_keeper_;
  std::unique_ptr<MidiDragCopies> drag_copies_;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_MAIN_WINDOW_H_
