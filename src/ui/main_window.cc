#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

#include "model/redo_command.h"
#include "ui/panel_view.h"
#include "ui/playback_strip.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/comp_info_dialog.h"
#include "ui/dialogs/help_window.h"
#include "ui/dialogs/midi_map_dialog.h"

namespace tessavar {

namespace {

constexpr int kSplashMilliseconds = 5000;
constexpr int kStatusUpdateMilliseconds = 250;

void SetEnabledIfChanged(QWidget* widget, bool enabled) {
  if (widget->isEnabled() != enabled) widget->setEnabled(enabled);
}

}  // namespace

MainWindow::MainWindow(ProgramState& state, Player& player,
                       UserDialogs& dialogs, ErrorReporter& errors,
                       QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      player_(player),
      dialogs_(dialogs),
      errors_(errors),
      monitor_(player, state) {
  setObjectName("TVX");
  state_.file_format_version = kFileFormatVersion;
  state_.paths =
      ProgramPaths::FromDirectory(std::filesystem::current_path().string());
  commands_ = std::make_unique<AppCommands>(state_, dialogs_, errors_, player_,
                                            ui_host_);
  compose_ = std::make_unique<ComposeCommand>(state_, player_, ui_host_,
                                              errors_, buttons_);

  // The help document is loaded now and shown on request.
  help_window_ = new HelpWindow(state_.paths.help_file, this);
  about_window_ = new AboutWindow(this);

  panel_view_ = new PanelView(state_.panel, this);
  setCentralWidget(BuildCentralWidget());
  BuildMenus();
  SetTabOrder();

  status_line_ = new QLabel(this);
  status_line_->setObjectName("Label3");
  status_line_->setMinimumWidth(200);
  status_line_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  status_line_->setIndent(4);
  status_line_->setMinimumHeight(22);
  statusBar()->addPermanentWidget(status_line_, 1);
  statusBar()->setSizeGripEnabled(false);

  splash_timer_ = new QTimer(this);
  splash_timer_->setObjectName("Timer1");
  splash_timer_->setSingleShot(true);
  splash_timer_->start(kSplashMilliseconds);
  connect(splash_timer_, &QTimer::timeout, about_window_, &QWidget::hide);

  status_timer_ = new QTimer(this);
  status_timer_->setObjectName("StatusTimer");
  connect(status_timer_, &QTimer::timeout, this, &MainWindow::PollPlayer);
  status_timer_->start(kStatusUpdateMilliseconds);
  ConnectPlaybackStrip();
  ConnectCommandButtons();
  ConnectDialogCommands();
  ui_host_.before_yield = [this] { Refresh(); };

  state_.panel.on_changed = [this] { Refresh(); };
  commands_->hooks.focus_compose_button = [this] {
    compile_button_->setFocus(Qt::OtherFocusReason);
  };
  Refresh();
  setFixedSize(sizeHint());
  PlaceOnScreen();
}

MainWindow::~MainWindow() {
  state_.panel.on_changed = nullptr;
  state_.panel.on_score_cleared = nullptr;
  state_.panel.on_yield = nullptr;
}

QWidget* MainWindow::BuildCentralWidget() {
  auto* central = new QWidget(this);
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
  compile_button_ = new QPushButton(tr("&Compose"), commands);
  compile_button_->setObjectName("CompileButton");
  compile_button_->setDefault(false);
  redo_button_ = new QPushButton(tr("&Redo Midi"), commands);
  redo_button_->setObjectName("RedoButton");
  load_button_ = new QPushButton(tr("Load"), commands);
  load_button_->setObjectName("Command1");
  save_button_ = new QPushButton(tr("Save"), commands);
  save_button_->setObjectName("Command2");
  for (QPushButton* button :
       {compile_button_, redo_button_, load_button_, save_button_}) {
    button->setMinimumHeight(30);
    button->setAutoDefault(false);
  }
  QFont bold = compile_button_->font();
  bold.setBold(true);
  compile_button_->setFont(bold);
  buttons->addWidget(compile_button_, 0, 0);
  buttons->addWidget(redo_button_, 0, 1);
  buttons->addWidget(load_button_, 1, 0);
  buttons->addWidget(save_button_, 1, 1);
  left->addStretch(1);  // the buttons line up with the groups' bottom
  left->addWidget(commands);

  groups->addLayout(left);
  groups->addWidget(panel_view_->orchestration_group());
  groups->addWidget(panel_view_->mapped_group());
  outer->addLayout(groups, 1);

  auto* playback = new QGroupBox(tr("Playback"), central);
  playback->setObjectName("PlaybackFrame");
  auto* playback_layout = new QHBoxLayout(playback);
  playback_layout->setContentsMargins(8, 4, 8, 6);
  strip_ = new PlaybackStrip(playback);
  playback_layout->addWidget(strip_);
  outer->addWidget(playback);
  return central;
}

QAction* MainWindow::AddMenuItem(QMenu* menu, const QString& name,
                                 const QString& text,
                                 const QKeySequence& shortcut,
                                 const QKeySequence& second_shortcut) {
  QAction* action = menu->addAction(text);
  action->setObjectName(name);
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

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->setObjectName("FileMenu");
  Connect(AddMenuItem(file, "FileLoadComp", tr("&Load Composition"),
                      QKeySequence(Qt::CTRL | Qt::Key_L)),
          &AppCommands::FileLoadComposition);
  Connect(AddMenuItem(file, "FileSaveComp", tr("&Save Composition"),
                      QKeySequence(Qt::CTRL | Qt::Key_S)),
          &AppCommands::FileSaveCompositionAs);
  AddMenuItem(file, "FileCompositionInfo", tr("Composition In&fo"),
              QKeySequence(Qt::CTRL | Qt::Key_F));
  file->addSeparator();
  Connect(AddMenuItem(file, "FileLoadOrch", tr("L&oad Orchestration"),
                      QKeySequence(Qt::CTRL | Qt::Key_O)),
          &AppCommands::FileLoadOrchestration);
  // Inside a text box Ctrl+A selects all and Ctrl+X cuts, as everywhere
  // else; the second shortcuts reach these two commands from any widget.
  Connect(AddMenuItem(file, "FileSaveOrch", tr("S&ave Orchestration"),
                      QKeySequence(Qt::CTRL | Qt::Key_A),
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
          &AppCommands::FileSaveOrchestration);
  file->addSeparator();
  Connect(AddMenuItem(file, "FileUserDefinedScale", tr("&Define Scale"),
                      QKeySequence(Qt::Key_F3)),
          &AppCommands::FileUserDefinedScale);
  Connect(AddMenuItem(file, "FileLoadScale", tr("Load S&cale"),
                      QKeySequence(Qt::Key_F4)),
          &AppCommands::FileLoadScaleX);
  Connect(AddMenuItem(file, "FileSaveScale", tr("Sa&ve Scale"),
                      QKeySequence(Qt::Key_F5)),
          &AppCommands::FileSaveScaleX);
  file->addSeparator();
  Connect(AddMenuItem(file, "FileMelodyXlate", tr("&Melody-to-Structure"),
                      QKeySequence(Qt::Key_F7)),
          &AppCommands::FileMelodyXlate);
  AddMenuItem(file, "MIDIT2M", tr("M&IDI Map"), QKeySequence(Qt::Key_F8));
  file->addSeparator();
  connect(AddMenuItem(file, "FileExportAudio", tr("&Export Audio...")),
          &QAction::triggered, this, &MainWindow::ExportAudio);
  file->addSeparator();
  QAction* exit = AddMenuItem(file, "FileXit", tr("E&xit"),
                              QKeySequence(Qt::CTRL | Qt::Key_X),
                              QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* options = menuBar()->addMenu(tr("&Options"));
  options->setObjectName("OptionsMenu");
  QAction* autoplay =
      AddMenuItem(options, "OptionsAutoplay", tr("Autoplay after Compose"),
                  QKeySequence(Qt::Key_F2));
  QAction* autoplay_redo =
      AddMenuItem(options, "OptionsAutoplayRedo", tr("Autoplay after Redo"),
                  QKeySequence(Qt::Key_F6));
  options->addSeparator();
  QAction* lock =
      AddMenuItem(options, "OptionsLockMapped", tr("Lock Mapped Parameters"),
                  QKeySequence(Qt::Key_F9));
  for (QAction* action : {autoplay, autoplay_redo, lock}) {
    action->setCheckable(true);
  }
  Connect(autoplay, &AppCommands::ToggleAutoplay);
  Connect(autoplay_redo, &AppCommands::ToggleAutoplayRedo);
  Connect(lock, &AppCommands::ToggleLockMapped);
  options->addSeparator();
  Connect(AddMenuItem(options, "OptionsSoundFont", tr("SoundFont...")),
          &AppCommands::OptionsSoundFont);

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  help->setObjectName("HelpMenu");
  AddMenuItem(help, "HelpHelpFile", tr("&Help File"), QKeySequence(Qt::Key_F1));
  help->addSeparator();
  AddMenuItem(help, "HelpAbout", tr("&About Tessavar Composer"));
}

void MainWindow::Connect(QAction* action, void (AppCommands::*command)()) {
  connect(action, &QAction::triggered, this, [this, command] {
    (commands_.get()->*command)();
    Refresh();
  });
}

QAction* MainWindow::MenuItem(const QString& name) const {
  return findChild<QAction*>(name);
}

void MainWindow::SetTabOrder() {
  std::vector<QWidget*> chain = panel_view_->TabChain();
  for (QWidget* widget : {static_cast<QWidget*>(compile_button_),
                          static_cast<QWidget*>(redo_button_),
                          static_cast<QWidget*>(load_button_),
                          static_cast<QWidget*>(save_button_)}) {
    chain.push_back(widget);
  }
  for (QWidget* widget : {static_cast<QWidget*>(strip_->rewind_button()),
                          static_cast<QWidget*>(strip_->play_button()),
                          static_cast<QWidget*>(strip_->pause_button()),
                          static_cast<QWidget*>(strip_->stop_button()),
                          static_cast<QWidget*>(strip_->slider())}) {
    chain.push_back(widget);
  }
  for (size_t i = 1; i < chain.size(); ++i) {
    QWidget::setTabOrder(chain[i - 1], chain[i]);
  }
}

// Centred horizontally, at a third of the free height.
void MainWindow::PlaceOnScreen() {
  QScreen* target =
      screen() != nullptr ? screen() : QApplication::primaryScreen();
  if (target == nullptr) return;
  const QRect area = target->geometry();
  const QSize size = frameGeometry().size();
  move(area.x() + (area.width() - size.width()) / 2,
       area.y() + (area.height() - size.height()) / 3);
}

void MainWindow::ConnectCommandButtons() {
  connect(load_button_, &QPushButton::clicked, MenuItem("FileLoadComp"),
          &QAction::trigger);
  connect(save_button_, &QPushButton::clicked, this, [this] {
    commands_->FileSaveCompositionAs();
    Refresh();
  });
  connect(redo_button_, &QPushButton::clicked, this, &MainWindow::Redo);
  connect(compile_button_, &QPushButton::clicked, this, &MainWindow::Compose);
}

void MainWindow::Compose() {
  // A click while composing only asks the running compose to stop.
  const bool starts = buttons_.compose_caption != kCancelCaption;
  if (starts) running_command_ = true;
  const ComposeOutcome outcome = compose_->Click();
  if (!starts) return;
  running_command_ = false;
  Refresh();
  const ComposeValidation& validation = outcome.validation;
  if (outcome.kind == ComposeOutcome::Kind::kInvalid &&
      validation.kind == ComposeValidation::Kind::kMessage) {
    dialogs_.ShowMessage(validation.text, "", MessageIcon::kNone);
    // The box may get the focus back only as the window is reactivated,
    // which does not select: select here, ready to be typed over.
    QLineEdit* box = panel_view_->Edit({validation.focus});
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
  }
  if (close_pending_) close();
}

void MainWindow::ConnectDialogCommands() {
  commands_->hooks.show_splash = [this] {
    // The splash must not take the keyboard from the main window.
    about_window_->setAttribute(Qt::WA_ShowWithoutActivating, true);
    about_window_->ShowAsSplash();
    about_window_->setAttribute(Qt::WA_ShowWithoutActivating, false);
  };
  commands_->hooks.edit_composition_info = [this] { EditCompositionInfo(); };
  connect(MenuItem("FileCompositionInfo"), &QAction::triggered, this,
          &MainWindow::EditCompositionInfo);
  connect(MenuItem("MIDIT2M"), &QAction::triggered, this, [this] {
    MidiMapDialog dialog(state_.channel_map, dialogs_, this);
    dialog.Run();
  });
  connect(MenuItem("HelpHelpFile"), &QAction::triggered, this, [this] {
    help_window_->show();
    help_window_->raise();
    help_window_->activateWindow();
  });
  connect(MenuItem("HelpAbout"), &QAction::triggered, about_window_,
          &AboutWindow::Run);
}

void MainWindow::EditCompositionInfo() {
  CompInfoDialog dialog(state_.composition_info, dialogs_, this);
  dialog.Run();
}

void MainWindow::Redo() {
  running_command_ = true;
  RedoCommand(state_, player_, ui_host_, errors_, [this](bool enabled) {
    buttons_.load_enabled = enabled;
    buttons_.redo_enabled = enabled;
    Refresh();
  });
  running_command_ = false;
  Refresh();
  if (close_pending_) close();
}

void MainWindow::ConnectPlaybackStrip() {
  connect(strip_, &PlaybackStrip::PlayPressed, this, [this] {
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
    monitor_.StopAndRewindPressed();
    Refresh();
  });
  connect(strip_, &PlaybackStrip::SliderMoved, this,
          [this](int value) { state_.play_slider = value; });
}

void MainWindow::PollPlayer() {
  if (player_.Mode() == kPlayerModeNotOpen) return;
  monitor_.Poll();
  Refresh();
}

void MainWindow::ExportAudio() {
  // Made at the first progress report, so it never shows over the file
  // dialog that comes first.
  std::unique_ptr<QProgressDialog> progress;
  commands_->FileExportAudio([this, &progress](double fraction) {
    if (!progress) {
      progress = std::make_unique<QProgressDialog>(tr("Rendering audio..."),
                                                   tr("Cancel"), 0, 1000, this);
      progress->setWindowTitle(tr("Export Audio"));
      progress->setWindowModality(Qt::WindowModal);
      progress->setMinimumDuration(300);
    }
    progress->setValue(static_cast<int>(fraction * 1000));
    QCoreApplication::processEvents();
    return !progress->wasCanceled();
  });
  Refresh();
}

void MainWindow::Refresh() {
  if (panel_view_ == nullptr || status_line_ == nullptr) return;
  panel_view_->Refresh();
  const PanelModel& panel = state_.panel;
  const QString status = QString::fromStdString(panel.status_text());
  if (status_line_->text() != status) status_line_->setText(status);
  SetEnabledIfChanged(compile_button_, panel.compose_enabled());
  SetEnabledIfChanged(save_button_, panel.save_enabled());
  SetEnabledIfChanged(load_button_, buttons_.load_enabled);
  SetEnabledIfChanged(redo_button_,
                      buttons_.redo_enabled && commands_->RedoAvailable());
  const QString compose_caption =
      QString::fromStdString(buttons_.compose_caption);
  if (compile_button_->text() != compose_caption) {
    compile_button_->setText(compose_caption);
  }
  // While Compose or Redo runs, no other command may touch the files.
  for (QAction* action : findChildren<QAction*>()) {
    const QString name = action->objectName();
    if (name.startsWith("File") || name == "MIDIT2M" ||
        name == "OptionsSoundFont") {
      if (name == "FileXit") continue;
      const bool matches_panel = name == "FileSaveComp"
                                     ? panel.save_enabled()
                                 : name == "FileExportAudio"
                                     ? commands_->ExportAudioAvailable()
                                     : true;
      const bool enabled = !running_command_ && matches_panel;
      if (action->isEnabled() != enabled) action->setEnabled(enabled);
    }
  }
  MenuItem("OptionsAutoplay")->setChecked(state_.options.autoplay);
  MenuItem("OptionsAutoplayRedo")->setChecked(state_.options.autoplay_redo);
  MenuItem("OptionsLockMapped")->setChecked(state_.options.lock_mapped);
  const QString caption = QString::fromStdString(state_.caption);
  if (windowTitle() != caption) setWindowTitle(caption);
  strip_->SetSliderPosition(state_.play_slider);
  strip_->SetTransportEnabled(player_.Mode() != kPlayerModeNotOpen);
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
  Refresh();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (running_command_) {
    // Closed in the middle of a compose: stop it, and close once it has
    // ended (the exit saves the files the compose is writing).
    state_.engine.stop_requested = 1;
    close_pending_ = true;
    event->ignore();
    return;
  }
  if (!exited_) {
    exited_ = true;
    status_timer_->stop();
    commands_->FormExit();
    // Every other window closes with the program.
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window != this && window->isVisible()) window->close();
    }
  }
  event->accept();
}

}  // namespace tessavar
