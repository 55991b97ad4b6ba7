// Tessavar Composer, the desktop program. It works in the current
// directory, which holds its default composition, the help document and its
// settings.
#include <QApplication>
#include <QStyleFactory>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "model/program_paths.h"
#include "model/program_state.h"
#include "ui/app_icon.h"
#include "ui/main_window.h"
#include "model/settings_file_io.h"
#include "platform/fluid_player.h"
#include "platform/qt/qt_error_reporter.h"
#include "platform/qt/qt_user_dialogs.h"

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

}  // namespace

int main(int argc, char** argv) {
  if (!CanShowWindows()) {
    std::cerr << kNoDisplayHelp;
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tessavar Composer");
  QApplication::setApplicationVersion("2.01");
  QApplication::setDesktopFileName("tessavar");
  if (QStyleFactory::keys().contains("Fusion"))
    QApplication::setStyle("Fusion");
  QApplication::setWindowIcon(tessavar::ApplicationIcon());

  // The player starts with the SoundFont the settings name, so that the
  // default composition's music is not loaded with another one first.
  tessavar::Options saved;
  tessavar::LoadIniFile(saved, tessavar::ProgramPaths::FromDirectory(
                                   std::filesystem::current_path().string())
                                   .settings_file);
  tessavar::FluidPlayerOptions player_options;
  player_options.soundfont = saved.soundfont;
  tessavar::FluidPlayer player(player_options);

  tessavar::ProgramState state;
  tessavar::QtUserDialogs dialogs;
  tessavar::QtErrorReporter errors;
  tessavar::MainWindow window(state, player, dialogs, errors);
  dialogs.set_parent(&window);
  errors.set_parent(&window);
  window.commands().hooks.apply_soundfont = [&player](const std::string& path) {
    player.SetSoundFont(path);
  };
  window.show();
  return app.exec();
}
