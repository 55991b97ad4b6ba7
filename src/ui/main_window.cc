#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDrag>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <utility>

#include "base/file_system.h"
#include "model/drag_drop_rules.h"
#include "model/recent_compositions.h"
#include "model/redo_command.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/comp_info_dialog.h"
#include "ui/dialogs/dialog_style.h"
#include "ui/dialogs/help_window.h"
#include "ui/dialogs/midi_map_dialog.h"
#include "ui/history_window.h"
#include "ui/midi_drag_copies.h"
#include "ui/midi_drag_handle.h"
#include "ui/panel_view.h"
#include "ui/playback_strip.h"
#include "ui/roll_view.h"
#include "ui/space_key.h"
#include "ui/window_size_file.h"

namespace tessavar {

namespace {

constexpr int kSplashMilliseconds = 5000;
constexpr int kStatusUpdateMilliseconds = 250;
constexpr int kPlayheadMilliseconds = 50;
constexpr int kDeferredMilliseconds = 50;
// Every Tab stop shows that it has the focus; the style draws no focus for
// tool buttons and the MIDI tile.
constexpr char kFocusFrames[] =
    "QToolButton:focus, QLabel#MidiDragHandle:focus {"
    " border: 2px solid palette(highlight); border-radius: 3px; }";
// What a window manager's title bar may take above the window.
constexpr int kTitleBarAllowance = 32;

// What changes when the file is written again: path, size and time.
std::string FileKey(const std::string& name) {
  const std::string path = FindExistingPath(name);
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) return {};
  const auto time = std::filesystem::last_write_time(path, error);
  if (error) return {};
  return path + "|" + std::to_string(size) + "|" +
         std::to_string(time.time_since_epoch().count());
}

// For widgets and menu items.
template <typename Control>
void SetEnabledIfChanged(Control* control, bool enabled) {
  if (control->isEnabled() != enabled) control->setEnabled(enabled);
}

}  // namespace

MainWindow::MainWindow(ProgramState& state, Player& player,
                       AudioRenderer& renderer, UserDialogs& dialogs,
                       ErrorReporter& errors, QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      player_(player),
      dialogs_(dialogs),
      errors_(errors),
      monitor_(player, state) {
  setObjectName("MainWindow");
  state_.file_format_version = kFileFormatVersion;
  state_.paths =
      ProgramPaths::FromDirectory(std::filesystem::current_path().string());
  commands_ = std::make_unique<AppCommands>(state_, dialogs_, errors_, player_,
                                            ui_host_, &renderer);
  compose_ =
      std::make_unique<ComposeCommand>(state_, player_, ui_host_, errors_);
  browse_ = std::make_unique<BrowseSession>(state_, player_, ui_host_, errors_);
  history_window_ = new HistoryWindow(this);

  // The help document is loaded now and shown on request.
  help_window_ = new HelpWindow(state_.paths.help_file, this);
  about_window_ = new AboutWindow(this);

  panel_view_ = new PanelView(state_.panel, this);
  setCentralWidget(BuildCentralWidget());
  BuildMenus();
  SetTabOrder();

  status_line_ = new QLabel(this);
  status_line_->setObjectName("StatusLine");
  status_line_->setMinimumWidth(200);
  status_line_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  status_line_->setIndent(4);
  status_line_->setMinimumHeight(22);
  statusBar()->addPermanentWidget(status_line_, 1);

  splash_timer_ = new QTimer(this);
  splash_timer_->setObjectName("SplashTimer");
  splash_timer_->setSingleShot(true);
  splash_timer_->start(kSplashMilliseconds);
  connect(splash_timer_, &QTimer::timeout, about_window_, &QWidget::hide);

  status_timer_ = new QTimer(this);
  status_timer_->setObjectName("StatusTimer");
  connect(status_timer_, &QTimer::timeout, this, &MainWindow::PollPlayer);
  status_timer_->start(kStatusUpdateMilliseconds);
  deferred_timer_ = new QTimer(this);
  connect(deferred_timer_, &QTimer::timeout, this, &MainWindow::RunDeferred);
  ConnectPlaybackStrip();
  ConnectRoll();
  AddTransportKeys();
  ConnectCommandButtons();
  ConnectDialogCommands();
  ConnectBrowsing();
  ConnectDragAndDrop();
  ui_host_.before_yield = [this] { Refresh(); };

  state_.panel.on_changed = [this] { Refresh(); };
  state_.commands.on_changed = [this] { Refresh(); };
  Refresh();
  RestoreSize();
}

MainWindow::~MainWindow() {
  state_.commands.on_changed = nullptr;
  state_.panel.on_changed = nullptr;
  state_.panel.on_score_cleared = nullptr;
  state_.panel.on_yield = nullptr;
}

QWidget* MainWindow::BuildCentralWidget() {
  auto* central = new QWidget(this);
  central->setStyleSheet(kFocusFrames);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(8, 6, 8, 4);
  outer->setSpacing(6);

  auto* groups = new QHBoxLayout;
  groups->setSpacing(8);
  auto* left = new QVBoxLayout;
  left->setSpacing(8);
  left->addWidget(panel_view_->general_group());

  auto* commands = new QGroupBox(tr("Commands"), central);
  commands->setObjectName("CommandFrame");
  auto* buttons = new QGridLayout(commands);
  buttons->setSpacing(6);
  compose_button_ = new QPushButton(tr("&Compose"), commands);
  compose_button_->setObjectName("ComposeButton");
  compose_button_->setDefault(false);
  redo_button_ = new QPushButton(tr("&Redo Midi"), commands);
  redo_button_->setObjectName("RedoButton");
  load_button_ = new QPushButton(tr("Load"), commands);
  load_button_->setObjectName("LoadButton");
  save_button_ = new QPushButton(tr("Save"), commands);
  save_button_->setObjectName("SaveButton");
  previous_mapping_button_ =
      new QPushButton(QString::fromUtf8("\u25C0 ") + tr("Mapping"), commands);
  previous_mapping_button_->setObjectName("PreviousMappingButton");
  previous_mapping_button_->setToolTip(
      tr("Compose the previous mapping (Alt+Left)"));
  next_mapping_button_ =
      new QPushButton(tr("Mapping") + QString::fromUtf8(" \u25B6"), commands);
  next_mapping_button_->setObjectName("NextMappingButton");
  next_mapping_button_->setToolTip(tr("Compose the next mapping (Alt+Right)"));
  for (QPushButton* button :
       {compose_button_, redo_button_, load_button_, save_button_,
        previous_mapping_button_, next_mapping_button_}) {
    button->setMinimumHeight(30);
    button->setAutoDefault(false);
  }
  QFont bold = compose_button_->font();
  bold.setBold(true);
  compose_button_->setFont(bold);
  buttons->addWidget(compose_button_, 0, 0);
  buttons->addWidget(redo_button_, 0, 1);
  buttons->addWidget(load_button_, 1, 0);
  buttons->addWidget(save_button_, 1, 1);
  buttons->addWidget(previous_mapping_button_, 2, 0);
  buttons->addWidget(next_mapping_button_, 2, 1);
  left->addStretch(1);  // the buttons line up with the groups' bottom
  left->addWidget(commands);

  groups->addLayout(left);
  groups->addWidget(panel_view_->orchestration_group());
  groups->addWidget(panel_view_->mapped_group());
  // The panel keeps its layout and size; the roll takes the extra room.
  auto* panel = new QWidget(central);
  panel->setLayout(groups);
  groups->setContentsMargins(0, 0, 0, 0);
  panel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  outer->addWidget(panel, 0, Qt::AlignLeft);

  auto* playback = new QGroupBox(tr("Playback"), central);
  playback->setObjectName("PlaybackFrame");
  auto* playback_layout = new QHBoxLayout(playback);
  playback_layout->setContentsMargins(8, 4, 8, 6);
  strip_ = new PlaybackStrip(playback);
  playback_layout->addWidget(strip_);
  outer->addWidget(playback);

  auto* roll_group = new QGroupBox(tr("Piano Roll"), central);
  roll_group->setObjectName("RollFrame");
  auto* roll_layout = new QHBoxLayout(roll_group);
  roll_layout->setContentsMargins(8, 4, 8, 6);
  roll_ = new RollView(roll_group);
  roll_layout->addWidget(roll_);
  outer->addWidget(roll_group, 1);
  return central;
}

QAction* MainWindow::AddMenuItem(QMenu* menu, const QString& text,
                                 const QKeySequence& shortcut,
                                 const QKeySequence& second_shortcut) {
  QAction* action = menu->addAction(text);
  if (second_shortcut.isEmpty()) {
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    return action;
  }
  action->setShortcuts({shortcut, second_shortcut});
  // A menu shows only the first shortcut unless the text names them all.
  action->setText(text + '\t' + shortcut.toString(QKeySequence::NativeText) +
                  ", " + second_shortcut.toString(QKeySequence::NativeText));
  return action;
}

QAction* MainWindow::AddFileCommand(QMenu* menu, const QString& text,
                                    const QKeySequence& shortcut,
                                    const QKeySequence& second_shortcut) {
  QAction* action = AddMenuItem(menu, text, shortcut, second_shortcut);
  file_commands_.push_back(action);
  return action;
}

void MainWindow::BuildMenus() {
  BuildFileMenu();
  BuildEditMenu();
  BuildOptionsMenu();
  MainMenus& m = menus_;
  m.help = menuBar()->addMenu(tr("&Help"));
  m.help_file = AddMenuItem(m.help, tr("&Help File"), QKeySequence(Qt::Key_F1));
  m.help->addSeparator();
  m.about = AddMenuItem(m.help, tr("&About Tessavar Composer"));
}

void MainWindow::BuildFileMenu() {
  MainMenus& m = menus_;
  m.file = menuBar()->addMenu(tr("&File"));
  m.load_composition = AddFileCommand(m.file, tr("&Load Composition"),
                                      QKeySequence(Qt::CTRL | Qt::Key_L));
  Connect(m.load_composition, &AppCommands::FileLoadComposition);
  m.save_composition = AddMenuItem(m.file, tr("&Save Composition"),
                                   QKeySequence(Qt::CTRL | Qt::Key_S));
  Connect(m.save_composition, &AppCommands::FileSaveCompositionAs);
  m.save_again = AddMenuItem(m.file, tr("Save &Again"),
                             QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
  Connect(m.save_again, &AppCommands::FileSaveComposition);
  m.recent = m.file->addMenu(tr("&Recent Compositions"));
  file_commands_.push_back(m.recent->menuAction());
  connect(m.recent, &QMenu::aboutToShow, this, &MainWindow::FillRecentMenu);
  m.composition_info = AddFileCommand(m.file, tr("Composition In&fo"),
                                      QKeySequence(Qt::CTRL | Qt::Key_F));
  m.file->addSeparator();
  m.load_orchestration = AddFileCommand(m.file, tr("L&oad Orchestration"),
                                        QKeySequence(Qt::CTRL | Qt::Key_O));
  Connect(m.load_orchestration, &AppCommands::FileLoadOrchestration);
  // Inside a text box Ctrl+A selects all and Ctrl+X cuts, as everywhere
  // else; the second shortcuts reach these two commands from any widget.
  m.save_orchestration = AddFileCommand(
      m.file, tr("S&ave Orchestration"), QKeySequence(Qt::CTRL | Qt::Key_A),
      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  Connect(m.save_orchestration, &AppCommands::FileSaveOrchestration);
  m.file->addSeparator();
  m.define_scale =
      AddFileCommand(m.file, tr("&Define Scale"), QKeySequence(Qt::Key_F3));
  Connect(m.define_scale, &AppCommands::FileUserDefinedScale);
  m.load_scale =
      AddFileCommand(m.file, tr("Load S&cale"), QKeySequence(Qt::Key_F4));
  Connect(m.load_scale, &AppCommands::FileLoadScale);
  m.save_scale =
      AddFileCommand(m.file, tr("Sa&ve Scale"), QKeySequence(Qt::Key_F5));
  Connect(m.save_scale, &AppCommands::FileSaveScale);
  m.file->addSeparator();
  m.melody_to_structure = AddFileCommand(m.file, tr("&Melody-to-Structure"),
                                         QKeySequence(Qt::Key_F7));
  Connect(m.melody_to_structure, &AppCommands::FileMelodyToStructure);
  m.midi_map =
      AddFileCommand(m.file, tr("M&IDI Map"), QKeySequence(Qt::Key_F8));
  m.file->addSeparator();
  m.export_audio = AddFileCommand(m.file, tr("&Export Audio..."));
  connect(m.export_audio, &QAction::triggered, this,
          [this] { ExportAudio(false); });
  m.export_stems = AddFileCommand(m.file, tr("Export S&tems..."));
  connect(m.export_stems, &QAction::triggered, this,
          [this] { ExportAudio(true); });
  // The music for a DAW or a notation program.
  QMenu* exchange = m.file->addMenu(tr("Ex&port"));
  m.export_exchange_midi =
      AddMenuItem(exchange, tr("&MIDI for DAW/Notation..."));
  Connect(m.export_exchange_midi, &AppCommands::FileExportExchangeMidi);
  m.export_music_xml = AddMenuItem(exchange, tr("Music&XML..."));
  Connect(m.export_music_xml, &AppCommands::FileExportMusicXml);
  m.file->addSeparator();
  m.exit = AddMenuItem(m.file, tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X),
                       QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(m.exit, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::BuildOptionsMenu() {
  MainMenus& m = menus_;
  m.options = menuBar()->addMenu(tr("&Options"));
  m.autoplay = AddMenuItem(m.options, tr("Autoplay after Compose"),
                           QKeySequence(Qt::Key_F2));
  m.autoplay_redo = AddMenuItem(m.options, tr("Autoplay after Redo"),
                                QKeySequence(Qt::Key_F6));
  m.options->addSeparator();
  m.lock_mapped = AddMenuItem(m.options, tr("Lock Mapped Parameters"),
                              QKeySequence(Qt::Key_F9));
  for (QAction* action : {m.autoplay, m.autoplay_redo, m.lock_mapped}) {
    action->setCheckable(true);
  }
  Connect(m.autoplay, &AppCommands::ToggleAutoplay);
  Connect(m.autoplay_redo, &AppCommands::ToggleAutoplayRedo);
  Connect(m.lock_mapped, &AppCommands::ToggleLockMapped);
  m.options->addSeparator();
  m.soundfont = AddFileCommand(m.options, tr("SoundFont..."));
  Connect(m.soundfont, &AppCommands::OptionsSoundFont);
}

void MainWindow::Connect(QAction* action, void (AppCommands::*command)()) {
  connect(action, &QAction::triggered, this, [this, command] {
    (commands_.get()->*command)();
    if (command == &AppCommands::FileLoadComposition) {
      ShowLoadedPiece();
    } else {
      SettingsChanged();
    }
  });
}

void MainWindow::BuildEditMenu() {
  MainMenus& m = menus_;
  m.edit = menuBar()->addMenu(tr("&Edit"));
  // "Change", so that they are not taken for the Redo Midi command.
  m.undo_change = AddMenuItem(m.edit, tr("&Undo Change"),
                              QKeySequence(Qt::CTRL | Qt::Key_Z));
  m.redo_change = AddMenuItem(m.edit, tr("Re&do Change"),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                              QKeySequence(Qt::CTRL | Qt::Key_Y));
  m.edit->addSeparator();
  m.previous_mapping = AddMenuItem(m.edit, tr("&Previous Mapping"),
                                   QKeySequence(Qt::ALT | Qt::Key_Left));
  m.next_mapping = AddMenuItem(m.edit, tr("&Next Mapping"),
                               QKeySequence(Qt::ALT | Qt::Key_Right));
  m.edit->addSeparator();
  m.history = AddMenuItem(m.edit, tr("Piece &History..."),
                          QKeySequence(Qt::CTRL | Qt::Key_H));
}

void MainWindow::FillRecentMenu() {
  QMenu* recent_menu = menus_.recent;
  recent_menu->clear();
  const bool available = Availability().file_commands;
  int n = 0;
  for (const RecentComposition& recent :
       RecentCompositions(state_.options.recent_compositions)) {
    const QString path = QString::fromStdString(recent.path);
    QAction* action = recent_menu->addAction(
        QStringLiteral("&%1 %2").arg((n + 1) % 10).arg(path));
    ++n;
    // A composition that is gone says so when chosen.
    if (!recent.exists) action->setText(action->text() + tr(" (missing)"));
    action->setEnabled(available);
    connect(action, &QAction::triggered, this, [this, file = recent.path] {
      if (commands_->OpenRecentComposition(file)) {
        ShowLoadedPiece();
      } else {
        Refresh();
      }
    });
  }
  recent_menu->menuAction()->setEnabled(n > 0 && available);
}

void MainWindow::OpenComposition(const std::string& path) {
  commands_->OpenComposition(path);
  ShowLoadedPiece();
  ComposeIfRequested();
}

void MainWindow::ComposeIfRequested() {
  if (commands_->TakeComposeRequest()) Compose();
}

void MainWindow::ShowLoadedPiece() {
  browse_->PieceReplaced();
  // Music that could not be loaded leaves no other piece in the roll.
  if (player_.Mode() == kPlayerModeNotOpen) {
    roll_file_key_.clear();
    roll_->ShowFile("");
  }
  SettingsChanged();
}

void MainWindow::SettingsChanged() {
  browse_->UserChanged();
  Refresh();
}

void MainWindow::ConnectBrowsing() {
  panel_view_->on_user_change = [this](ChangeKey key) {
    browse_->UserChanged(key);
    Refresh();
  };
  panel_view_->on_box_left = [this](BoxId id) {
    browse_->BoxLeft(id);
    Refresh();
  };
  connect(menus_.undo_change, &QAction::triggered, this, [this] {
    browse_->Undo();
    Refresh();
  });
  connect(menus_.redo_change, &QAction::triggered, this, [this] {
    browse_->Redo();
    Refresh();
  });
  connect(menus_.previous_mapping, &QAction::triggered, this,
          [this] { StepMapping(-1); });
  connect(menus_.next_mapping, &QAction::triggered, this,
          [this] { StepMapping(1); });
  connect(previous_mapping_button_, &QPushButton::clicked, this,
          [this] { StepMapping(-1); });
  connect(next_mapping_button_, &QPushButton::clicked, this,
          [this] { StepMapping(1); });
  connect(menus_.history, &QAction::triggered, this, [this] {
    history_window_->Show(browse_->history());
    if (!history_window_->isVisible()) PlaceNear(history_window_, this);
    history_window_->show();
    history_window_->raise();
    history_window_->activateWindow();
  });
  connect(history_window_, &HistoryWindow::RestoreRequested, this,
          [this](int index) { RestorePiece(index, false); });
  connect(history_window_, &HistoryWindow::SaveRequested, this,
          [this](int index) { RestorePiece(index, true); });
  connect(history_window_, &HistoryWindow::StarToggled, this, [this](int i) {
    const auto& entries = browse_->history().entries();
    if (i < 0 || static_cast<size_t>(i) >= entries.size()) return;
    browse_->SetStarred(i, !entries[i].record.starred);
    history_window_->Show(browse_->history());
  });
}

void MainWindow::StepMapping(int direction) {
  if (!Availability().browse) return;
  browse_->StepMapping(direction);
  Compose();
}

void MainWindow::RestorePiece(int index, bool save) {
  if (!Availability().browse || index < 0) return;
  const BrowseSession::Restored restored = browse_->RestorePiece(index);
  if (restored == BrowseSession::Restored::kNone) return;
  if (restored == BrowseSession::Restored::kNeedsCompose) Compose();
  Refresh();
  if (save && Availability().save) {
    commands_->FileSaveCompositionAs();
    Refresh();
  }
}

void MainWindow::SetTabOrder() {
  std::vector<QWidget*> chain = panel_view_->TabChain();
  const std::vector<QWidget*> rest = {compose_button_,
                                      redo_button_,
                                      load_button_,
                                      save_button_,
                                      previous_mapping_button_,
                                      next_mapping_button_,
                                      strip_->rewind_button(),
                                      strip_->play_button(),
                                      strip_->pause_button(),
                                      strip_->stop_button(),
                                      strip_->slider(),
                                      strip_->midi_handle(),
                                      roll_->fit_button(),
                                      roll_->loop_button()};
  chain.insert(chain.end(), rest.begin(), rest.end());
  for (size_t i = 1; i < chain.size(); ++i) {
    QWidget::setTabOrder(chain[i - 1], chain[i]);
  }
}

// The remembered size (the panel's natural size the first time), never
// larger than the screen, centred horizontally at a third of the free
// height; maximised again when it was at the last exit.
void MainWindow::RestoreSize() {
  const std::optional<WindowSize> kept = ReadWindowSize(WindowSizePath());
  QSize size = kept ? QSize(kept->width, kept->height) : sizeHint();
  const QRect area = ScreenArea();
  if (!area.isEmpty()) {
    // Room for the frame and the title bar the window manager adds.
    const QSize frame = frameGeometry().size() - geometry().size();
    size = size.boundedTo(area.size() -
                          frame.expandedTo(QSize(0, kTitleBarAllowance)));
  }
  resize(size.expandedTo(minimumSizeHint()));
  PlaceOnScreen();
  if (kept && kept->maximised) setWindowState(Qt::WindowMaximized);
}

void MainWindow::KeepSize() {
  const QRect normal = isMaximized() ? normalGeometry() : geometry();
  if (normal.isEmpty()) return;
  WriteWindowSize({normal.width(), normal.height(), isMaximized()},
                  WindowSizePath());
}

std::string MainWindow::WindowSizePath() const {
  return state_.paths.program_directory + kWindowSizeFileName;
}

QRect MainWindow::ScreenArea() const {
  QScreen* target =
      screen() != nullptr ? screen() : QApplication::primaryScreen();
  return target != nullptr ? target->availableGeometry() : QRect();
}

void MainWindow::PlaceOnScreen() {
  const QRect area = ScreenArea();
  if (area.isEmpty()) return;
  const QSize size = frameGeometry().size();
  move(area.x() + std::max(0, (area.width() - size.width()) / 2),
       area.y() + std::max(0, (area.height() - size.height()) / 3));
}

void MainWindow::ConnectCommandButtons() {
  connect(load_button_, &QPushButton::clicked, menus_.load_composition,
          &QAction::trigger);
  connect(save_button_, &QPushButton::clicked, this, [this] {
    commands_->FileSaveCompositionAs();
    Refresh();
  });
  connect(redo_button_, &QPushButton::clicked, this, &MainWindow::Redo);
  connect(compose_button_, &QPushButton::clicked, this, &MainWindow::Compose);
}

void MainWindow::Compose() {
  const ComposeOutcome outcome = compose_->Click();
  // A click while composing only asked the running compose to stop.
  if (!outcome.started()) return;
  browse_->Composed(outcome);
  history_window_->Show(browse_->history());
  Refresh();
  const ComposeValidation& validation = outcome.validation;
  if (outcome.kind == ComposeOutcome::Kind::kInvalid &&
      validation.kind == ComposeValidation::Kind::kMessage) {
    dialogs_.ShowMessage(validation.text, "", MessageIcon::kExclamation);
    // The box may get the focus back only as the window is reactivated,
    // which does not select: select here, ready to be typed over.
    QLineEdit* box = panel_view_->Edit({validation.focus});
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
  }
  if (close_pending_) close();
}

void MainWindow::ConnectDialogCommands() {
  AppCommands::WindowHooks hooks;
  hooks.focus_compose_button = [this] {
    compose_button_->setFocus(Qt::OtherFocusReason);
  };
  hooks.show_splash = [this] {
    // The splash must not take the keyboard from the main window.
    about_window_->setAttribute(Qt::WA_ShowWithoutActivating, true);
    about_window_->ShowAsSplash();
    about_window_->setAttribute(Qt::WA_ShowWithoutActivating, false);
  };
  hooks.edit_composition_info = [this] { EditCompositionInfo(); };
  hooks.close_progress = [this] {
    if (close_progress_) close_progress_();
  };
  commands_->SetWindowHooks(std::move(hooks));
  connect(menus_.composition_info, &QAction::triggered, this,
          &MainWindow::EditCompositionInfo);
  connect(menus_.midi_map, &QAction::triggered, this, [this] {
    MidiMapDialog dialog(state_.channel_map, dialogs_, this);
    dialog.Run();
    SettingsChanged();
  });
  connect(menus_.help_file, &QAction::triggered, this, [this] {
    if (!help_window_->isVisible()) PlaceNear(help_window_, this);
    help_window_->show();
    help_window_->raise();
    help_window_->activateWindow();
  });
  connect(menus_.about, &QAction::triggered, about_window_, &AboutWindow::Run);
}

void MainWindow::EditCompositionInfo() {
  CompInfoDialog dialog(state_.composition_info, dialogs_, this);
  dialog.Run();
}

void MainWindow::Redo() {
  RedoCommand(state_, player_, ui_host_, errors_);
  Refresh();
  if (close_pending_) close();
}

void MainWindow::ConnectPlaybackStrip() {
  connect(strip_, &PlaybackStrip::PlayPressed, this, [this] {
    roll_->SetFollow(true);
    monitor_.PlayPressed();
    Refresh();
  });
  connect(strip_, &PlaybackStrip::PausePressed, this, [this] {
    player_.Pause();
    Refresh();
  });
  connect(strip_, &PlaybackStrip::StopPressed, this, [this] {
    player_.Stop();
    Refresh();
  });
  connect(strip_, &PlaybackStrip::RewindPressed, this, [this] {
    roll_->SetFollow(true);
    monitor_.StopAndRewindPressed();
    Refresh();
  });
  // Dragging only moves the handle; where it is let go, playing goes on.
  auto seek_to_slider = [this] {
    monitor_.SeekTo(
        StartPositionForSlider(strip_->SliderPosition(), player_.LengthMs()));
    Refresh();
  };
  connect(strip_, &PlaybackStrip::SliderMoved, this,
          [this, seek_to_slider](int value) {
            state_.play_slider = value;
            if (!strip_->slider()->isSliderDown()) seek_to_slider();
          });
  connect(strip_->slider(), &QSlider::sliderReleased, this, seek_to_slider);
}

void MainWindow::ConnectRoll() {
  connect(roll_, &RollView::SeekRequested, this, [this](qint64 milliseconds) {
    monitor_.SeekTo(milliseconds);
    Refresh();
  });
  connect(roll_, &RollView::LoopChanged, this, &MainWindow::ApplyLoop);
  connect(roll_, &RollView::MixChanged, this, [this] {
    player_.SetSilentTracks(roll_->model().mix().SilentTracks());
  });
  playhead_timer_ = new QTimer(this);
  playhead_timer_->setObjectName("PlayheadTimer");
  connect(playhead_timer_, &QTimer::timeout, this, [this] {
    if (player_.Mode() != kPlayerModeNotOpen) {
      roll_->SetPlayheadMs(monitor_.PlayheadMs(),
                           player_.Mode() == kPlayerModePlaying);
    }
  });
  playhead_timer_->start(kPlayheadMilliseconds);
  auto* fit = new QAction(tr("Fit Roll to Window"), this);
  fit->setObjectName("RollFitAction");
  fit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
  addAction(fit);
  connect(fit, &QAction::triggered, roll_, &RollView::FitToWindow);
}

void MainWindow::SyncRollWithPlayer() {
  if (player_.Mode() == kPlayerModeNotOpen) return;
  const std::string key = FileKey(player_.FileName());
  if (key == roll_file_key_) return;
  roll_file_key_ = key;
  roll_->ShowFile(FindExistingPath(player_.FileName()));
  player_.SetSilentTracks(roll_->model().mix().SilentTracks());
  ApplyLoop();
}

void MainWindow::ApplyLoop() {
  const RollModel& model = roll_->model();
  if (model.loop_enabled()) {
    player_.SetLoop(model.LoopStartMs(), model.LoopEndMs());
  } else {
    player_.SetLoop(0, 0);
  }
}

void MainWindow::AddTransportKeys() {
  new SpaceKey(this, [this] {
    monitor_.PlayPausePressed();
    if (player_.Mode() == kPlayerModePlaying) roll_->SetFollow(true);
    Refresh();
  });
  auto* home = new QShortcut(QKeySequence(Qt::Key_Home), this);
  connect(home, &QShortcut::activated, strip_, &PlaybackStrip::RewindPressed);
}

void MainWindow::PollPlayer() {
  if (commands_->CheckWorkingFile()) Refresh();
  // Also the options changed without a Refresh (the output menus).
  KeepSettings();
  if (player_.Mode() == kPlayerModeNotOpen) return;
  monitor_.Poll();
  Refresh();
}

void MainWindow::ExportAudio(bool stems) {
  // Made at the first progress report, so it never shows over the file
  // dialog that comes first; closed before any box (made again on Retry).
  std::unique_ptr<QProgressDialog> progress;
  const QString title = stems ? tr("Export Stems") : tr("Export Audio");
  exporting_ = true;
  close_progress_ = [&progress] { progress.reset(); };
  commands_->FileExportAudio(
      [this, &progress, &title, stems](double fraction) {
        if (!progress) {
          progress = std::make_unique<QProgressDialog>(
              stems ? tr("Rendering stems...") : tr("Rendering audio..."),
              tr("Cancel"), 0, 1000, this);
          progress->setWindowTitle(title);
          progress->setWindowModality(Qt::WindowModal);
          progress->setMinimumDuration(300);
        }
        progress->setValue(static_cast<int>(fraction * 1000));
        QCoreApplication::processEvents();
        // A signal's exit does not wait for the rest of the export.
        return !progress->wasCanceled() && !closing_on_signal_;
      },
      roll_->model().mix().SilentTracks(), stems);
  close_progress_ = nullptr;
  exporting_ = false;
  Refresh();
  if (close_pending_) close();
}

void MainWindow::Refresh() {
  if (panel_view_ == nullptr || status_line_ == nullptr) return;
  panel_view_->Refresh();
  const QString status = QString::fromStdString(state_.panel.status_text());
  if (status_line_->text() != status) status_line_->setText(status);
  ShowAvailability();
  KeepSettings();
  menus_.autoplay->setChecked(state_.options.autoplay);
  menus_.autoplay_redo->setChecked(state_.options.autoplay_redo);
  menus_.lock_mapped->setChecked(state_.options.lock_mapped);
  const QString caption = QString::fromStdString(commands_->WindowTitle());
  if (windowTitle() != caption) setWindowTitle(caption);
  strip_->SetSliderPosition(state_.play_slider);
  strip_->SetLengthMs(player_.LengthMs());
  SyncRollWithPlayer();
}

CommandAvailability MainWindow::Availability() const {
  return commands_->Availability(browse_.get());
}

void MainWindow::ShowAvailability() {
  const CommandAvailability available = Availability();
  SetEnabledIfChanged(compose_button_, available.compose);
  const QString compose_caption =
      available.compose_stops ? tr("&Cancel") : tr("&Compose");
  if (compose_button_->text() != compose_caption) {
    compose_button_->setText(compose_caption);
  }
  SetEnabledIfChanged(redo_button_, available.redo);
  SetEnabledIfChanged(load_button_, available.load);
  for (QAction* action : file_commands_) {
    SetEnabledIfChanged(action, available.file_commands);
  }
  for (QAction* action : {menus_.save_composition, menus_.save_again}) {
    SetEnabledIfChanged(action, available.save);
  }
  SetEnabledIfChanged(save_button_, available.save);
  for (QAction* action :
       {menus_.export_audio, menus_.export_stems, menus_.export_exchange_midi,
        menus_.export_music_xml}) {
    SetEnabledIfChanged(action, available.export_audio);
  }
  SetEnabledIfChanged(strip_->midi_handle(), available.midi_drag);
  SetEnabledIfChanged(menus_.undo_change, available.undo_change);
  SetEnabledIfChanged(menus_.redo_change, available.redo_change);
  for (QAction* action : {menus_.previous_mapping, menus_.next_mapping}) {
    SetEnabledIfChanged(action, available.browse);
  }
  SetEnabledIfChanged(previous_mapping_button_, available.browse);
  SetEnabledIfChanged(next_mapping_button_, available.browse);
  history_window_->SetCommandsEnabled(available.browse);
  strip_->SetTransportEnabled(available.transport);
}

bool MainWindow::event(QEvent* event) {
  const bool handled = QMainWindow::event(event);
  if (event->type() == QEvent::WindowActivate) {
    RunFirstActivation();
  } else if (event->type() == QEvent::Show) {
    // Without a window manager the window may never be activated; the
    // start-up steps then run as soon as the event loop takes over.
    QTimer::singleShot(0, this, &MainWindow::RunFirstActivation);
  }
  return handled;
}

void MainWindow::RunFirstActivation() {
  if (commands_->activated_once() || exited_) return;
  commands_->FirstActivation();
  Options on_disk;
  LoadSettingsFile(on_disk, state_.paths.settings_file);
  settings_keeper_.Start(on_disk);
  browse_->Start();
  // One notice at most: the history's comes first.
  const std::string& recent_problem = state_.options.recent_problem;
  if (!recent_problem.empty() && state_.panel.status_text().empty()) {
    state_.panel.set_status_text("Recent compositions not read: " +
                                 recent_problem);
  }
  Refresh();
  ComposeIfRequested();
}

void MainWindow::KeepSettings() {
  // Refresh follows every command; not while one writes the files.
  if (!commands_->activated_once() || exited_ || state_.commands.busy()) {
    return;
  }
  settings_keeper_.SaveIfChanged(state_.options, state_.paths.settings_file);
}

void MainWindow::OpenHandedOver(const std::string& path) {
  if (exited_ || closing_on_signal_) return;
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  if (path.empty()) return;
  if (!commands_->activated_once()) {
    commands_->OpenAfterStartUp(path);
    return;
  }
  handed_over_.push_back(path);
  deferred_timer_->start(kDeferredMilliseconds);
}

void MainWindow::CloseOnSignal() {
  closing_on_signal_ = true;
  handed_over_.clear();
  deferred_timer_->start(kDeferredMilliseconds);
  RunDeferred();
}

void MainWindow::RunDeferred() {
  if (closing_on_signal_) {
    // Each answered as Cancel or Escape would answer it; a dialog that the
    // exit itself shows goes the same way.
    QDrag::cancel();
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  }
  // Only from the main event loop, with no command under way: a command
  // that yields (Load, Save, the start-up) is still under way.
  const bool free = commands_->activated_once() &&
                    QApplication::activeModalWidget() == nullptr &&
                    QThread::currentThread()->loopLevel() <= 1 &&
                    !ui_host_.yielding();
  if (!free || exited_) return;
  if (closing_on_signal_) {
    close();  // waits for a running command to end, as a user's close does
    return;
  }
  if (state_.commands.busy() || exporting_) return;
  deferred_timer_->stop();
  for (const std::string& path : std::exchange(handed_over_, {})) {
    OpenComposition(path);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (state_.commands.busy() || exporting_) {
    // Closed in the middle of Compose, Redo or an export: stop it, and
    // close once it has ended (the exit saves the files the command is
    // writing).
    if (state_.commands.busy()) compose_->RequestStop();
    close_pending_ = true;
    event->ignore();
    return;
  }
  if (!exited_) {
    exited_ = true;
    status_timer_->stop();
    KeepSize();
    commands_->ShutDown();
    browse_->Finish();
    // Every other window closes with the program.
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window != this && window->isVisible()) window->close();
    }
  }
  event->accept();
}

}  // namespace tessavar
