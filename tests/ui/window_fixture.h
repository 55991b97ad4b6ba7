// A main window over test doubles, run in a fresh temporary program
// directory.
#ifndef TESSAVAR_TESTS_UI_WINDOW_FIXTURE_H_
#define TESSAVAR_TESTS_UI_WINDOW_FIXTURE_H_

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "model/program_state.h"
#include "model/ui_host.h"
#include "platform/audio_renderer.h"
#include "support/fake_player.h"
#include "support/score_file.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"
#include "ui/dialogs/about_window.h"
#include "ui/main_window.h"
#include "ui/panel_view.h"
#include "ui/spinner.h"

namespace tessavar::testing {

// The bytes of a file; empty when it does not exist.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A fresh directory that is the current directory while it exists.
class TemporaryProgramDirectory {
 public:
  TemporaryProgramDirectory() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~TemporaryProgramDirectory() { std::filesystem::current_path(previous_); }
  const std::string& path() const { return dir_.path(); }
  std::string File(const std::string& name) const { return dir_ / name; }
  std::vector<std::string> Entries() const { return dir_.Entries(); }

 private:
  std::filesystem::path previous_;
  TempDir dir_;
};

class WindowTest : public ::testing::Test {
 protected:
  // The window is made by each test, after the directory is prepared.
  void MakeWindow() {
    window_ = std::make_unique<MainWindow>(state_, player_, renderer_, dialogs_,
                                           errors_);
  }
  void ShowWindow() {
    if (!window_) MakeWindow();
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    // The start-up splash is up now; the tests work in the main window.
    ASSERT_TRUE(window_->about_window()->isVisible());
    window_->about_window()->hide();
    Reactivate();
  }
  // After a dialog has closed: the main window is active again.
  void Reactivate() {
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return QApplication::activeWindow() == window_.get(); }));
  }
  void TearDown() override { window_.reset(); }

  QLineEdit* Edit(BoxId id) { return window_->panel_view().Edit(id); }
  std::string Text(BoxId id) { return Edit(id)->text().toStdString(); }
  int SpinnerShown(BoxId id) {
    return window_->panel_view().SpinnerFor(id)->Position();
  }
  // Gives the box the focus, selects its text and types over it.
  void TypeInto(BoxId id, const QString& text) {
    QLineEdit* edit = Edit(id);
    edit->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  // Moves the focus on with the Tab key.
  void LeaveBox(BoxId id) { QTest::keyClick(Edit(id), Qt::Key_Tab); }
  // Puts a composed-looking working file in place and enables Save, as a
  // finished compose leaves them.
  void MakeWorkingFile() {
    ASSERT_TRUE(WriteScoreFile(state_.paths.working_midi, 1, 60, state_.panel,
                               state_.channel_map, errors_));
    state_.panel.set_save_enabled(true);
    window_->Refresh();
  }

  TemporaryProgramDirectory directory_;
  ProgramState state_;
  FakePlayer player_;
  FluidAudioRenderer renderer_;
  ScriptedErrorReporter errors_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_UI_WINDOW_FIXTURE_H_
