// Tessavar Composer, the desktop program. It works in its program directory
// ($TESSAVAR_HOME, else ~/TessavarComposer), which holds its default
// composition, the help document and its settings; a composition named on
// the command line is opened as File > Load opens it. One window works in a
// program directory: a second start hands its command line to it and ends.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QStyleFactory>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "base/status.h"
#include "files/settings_file.h"
#include "model/program_directory.h"
#include "model/program_paths.h"
#include "model/program_state.h"
#include "model/settings_file_io.h"
#include "model/written_folders.h"
#include "platform/alsa_sequencer.h"
#include "platform/audio_renderer.h"
#include "platform/fluid_player.h"
#include "platform/qt/qt_error_reporter.h"
#include "platform/qt/qt_user_dialogs.h"
#include "ui/app_icon.h"
#include "ui/exit_signals.h"
#include "ui/main_window.h"
#include "ui/midi_drag_copies.h"
#include "ui/output_menus.h"
#include "ui/single_instance.h"

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// Without any display Qt would abort with a terse message of its own.
bool CanShowWindows() {
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") ||
         IsSet("QT_QPA_PLATFORM");
}

constexpr char kNoDisplayHelp[] =
    "tessavar: no display to show the window on.\n"
    "Tessavar Composer is a desktop program: start it from a desktop "
    "session,\n"
    "or give it a virtual display with  xvfb-run tessavar .\n"
    "To compose without a window use  tessavar-cli compose -o OUT.mid .\n";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The composition named on the command line, made absolute while the
// directory it is relative to is still the current one; empty for none.
std::string CompositionArgument(const QCoreApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Compose music from a few parameters and write it as a MIDI file.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("FILE.tvx", "The composition to open.",
                               "[FILE.tvx]");
  parser.process(app);
  const QStringList files = parser.positionalArguments();
  if (files.isEmpty()) return std::string();
  return std::filesystem::absolute(
             QFile::encodeName(files.first()).toStdString())
      .string();
}

// Makes the program directory the current directory, creating and seeding
// it on first use. The reason when that fails.
std::optional<std::string> EnterProgramDirectory() {
  const std::string directory = tessavar::ChooseProgramDirectory(
      Environment(tessavar::kProgramHomeVariable), Environment("HOME"));
  if (directory.empty()) {
    return std::string(
        "Set HOME or TESSAVAR_HOME to choose where Tessavar "
        "Composer keeps its files.");
  }
  try {
    tessavar::PrepareProgramDirectory(directory, tessavar::ShareDirectory());
    std::filesystem::current_path(directory);
  } catch (const tessavar::RunTimeError& error) {
    return error.status().Message();
  } catch (const std::filesystem::filesystem_error& error) {
    return directory + ": " + error.code().message();
  }
  return std::nullopt;
}

// On standard error and in a message box.
void ReportFailure(const std::string& text) {
  std::cerr << "tessavar: " << text << '\n';
  QMessageBox::critical(nullptr, QApplication::applicationName(),
                        QString::fromStdString(text));
}

// Nothing when this program holds the directory's lock; otherwise the exit
// status: 0 when the program holding it took the command line, 1 (with a
// message) when it did not answer or the lock cannot be taken at all.
std::optional<int> ExitUnlessHeld(tessavar::ProgramDirectoryLock& lock,
                                  const std::string& directory,
                                  const std::string& composition) {
  using State = tessavar::ProgramDirectoryLock::State;
  if (lock.state() == State::kHeld) return std::nullopt;
  if (lock.state() == State::kFailed) {
    ReportFailure("The program directory cannot be used.\n\n" +
                  lock.status().Message());
    return 1;
  }
  if (tessavar::HandOverToRunningProgram(
          tessavar::InstanceServerName(directory), composition)) {
    return 0;
  }
  // The holder may have been ending meanwhile: then this start goes on.
  if (lock.TryAgain() == State::kHeld) return std::nullopt;
  ReportFailure(
      "Tessavar Composer is already running with the program "
      "directory " +
      directory + ".");
  return 1;
}

// What writers killed half-way left behind in the folders the program
// writes to, and the drag folders of killed programs.
void RemoveLeftovers(const std::string& directory,
                     const tessavar::Options& saved) {
  tessavar::RemoveLeftoverTemporaries(directory, saved.recent_compositions);
  tessavar::MidiDragCopies::RemoveAbandoned(QDir::tempPath().toStdString());
}

void SetProgramName() {
  QCoreApplication::setApplicationName("Tessavar Composer");
  QCoreApplication::setApplicationVersion("2.01");
}

}  // namespace

int main(int argc, char** argv) {
  tessavar::KeepJackServerStopped();
  if (!CanShowWindows()) {
    // --help and --version still answer.
    QCoreApplication core(argc, argv);
    SetProgramName();
    CompositionArgument(core);
    std::cerr << kNoDisplayHelp;
    return 1;
  }
  QApplication app(argc, argv);
  // Qt took the environment's locale; numbers stay in the C notation so
  // that no library turns 100.7 into "100,7" or reads it back as 100.
  std::setlocale(LC_NUMERIC, "C");
  SetProgramName();
  QApplication::setDesktopFileName("org.tessavar.Composer");
  if (QStyleFactory::keys().contains("Fusion"))
    QApplication::setStyle("Fusion");
  QApplication::setWindowIcon(tessavar::ApplicationIcon());

  // From now on these signals end the program through its exit path; until
  // the window is there, they close the message box on screen.
  tessavar::MainWindow* main_window = nullptr;
  tessavar::ExitSignals exit_signals;
  QObject::connect(
      &exit_signals, &tessavar::ExitSignals::Received, &app, [&main_window] {
        if (main_window != nullptr) {
          main_window->CloseOnSignal();
        } else if (QWidget* box = QApplication::activeModalWidget()) {
          box->close();
        }
      });

  const std::string composition = CompositionArgument(app);
  if (std::optional<std::string> failure = EnterProgramDirectory()) {
    ReportFailure("The program directory cannot be used.\n\n" + *failure);
    return 1;
  }
  const std::string directory = std::filesystem::current_path().string();
  tessavar::ProgramDirectoryLock lock(directory);
  if (std::optional<int> status =
          ExitUnlessHeld(lock, directory, composition)) {
    return *status;
  }
  tessavar::InstanceServer server(tessavar::InstanceServerName(directory));
  if (!server.listening()) {
    std::cerr << "tessavar: a second start on " << directory
              << " will not reach this window.\n";
  }

  // The player starts with the SoundFont the settings name, so that the
  // default composition's music is not loaded with another one first.
  tessavar::Options saved;
  tessavar::LoadSettingsFile(
      saved, tessavar::ProgramPaths::FromDirectory(directory).settings_file);
  RemoveLeftovers(directory, saved);
  // The player plays through the sequencer's ports, so it goes first.
  tessavar::AlsaSequencer sequencer;
  tessavar::FluidPlayerOptions player_options;
  player_options.soundfont = saved.soundfont;
  player_options.audio_driver = saved.audio_driver;
  player_options.sequencer = &sequencer;
  player_options.midi_output = saved.midi_output;
  tessavar::FluidPlayer player(player_options);
  // Exports render with the synthesizer of playback; the folders they
  // write are remembered for the next start's clean-up.
  tessavar::FluidAudioRenderer synthesizer;
  tessavar::FolderRecordingRenderer renderer(
      synthesizer, tessavar::WrittenFoldersPath(directory));

  tessavar::ProgramState state;
  tessavar::QtUserDialogs dialogs;
  tessavar::QtErrorReporter errors;
  tessavar::MainWindow window(state, player, renderer, dialogs, errors);
  dialogs.set_parent(&window);
  errors.set_parent(&window);
  window.commands().SetSoundFontSetter(
      [&player](const std::string& path) { player.SetSoundFont(path); });
  window.commands().OpenAfterStartUp(composition);
  tessavar::AddOutputMenus(window.menus().options, state.options, player);
  QObject::connect(&server, &tessavar::InstanceServer::OpenRequested, &window,
                   &tessavar::MainWindow::OpenHandedOver);
  server.accepting = [&window] { return window.AcceptsHandOver(); };
  main_window = &window;
  window.show();
  return app.exec();
}
