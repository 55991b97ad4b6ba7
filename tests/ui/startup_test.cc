// Start-up and shut-down of the real window: the first activation with and
// without default files, re-activation, placement, and what closing writes.
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/file_system.h"
#include "midi/composition_info.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

namespace fs = std::filesystem;

// A MIDI file as the writer makes it, holding one note.
void WriteMidi(const std::string& path, const std::string& info) {
  ScriptedErrorReporter reporter;
  ASSERT_TRUE(WriteScoreFile(path, 1, 62, PanelModel(), {}, reporter));
  ASSERT_TRUE(EmbedCompositionInfo(path, info));
}

class StartupTest : public WindowTest {};

TEST_F(StartupTest, WithoutDefaultFilesStartsSilentlyWithPlaceholders) {
  ShowWindow();
  EXPECT_TRUE(window_->commands().activated_once());
  EXPECT_EQ(Text({Box::kVolume, 0}), "999");
  EXPECT_EQ(Text({Box::kPan, 15}), "999");
  EXPECT_EQ(Text({Box::kOctave, 7}), "99");
  EXPECT_EQ(Text({Box::kMapped, 0}), "999");
  EXPECT_EQ(Text({Box::kStructure}), "1234567890123456");
  EXPECT_EQ(window_->windowTitle(), "Tessavar Composer");
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(errors_.messages.empty());
  EXPECT_FALSE(window_->save_button()->isEnabled());
  // No working MIDI file: nothing to redo, nothing to export.
  EXPECT_FALSE(window_->redo_button()->isEnabled());
  EXPECT_FALSE(window_->menus().export_audio->isEnabled());
  EXPECT_TRUE(window_->compose_button()->hasFocus());
  EXPECT_FALSE(player_.open);
  EXPECT_TRUE(directory_.Entries().empty());
}

TEST_F(StartupTest, WithDefaultFilesShowsTheDefaultComposition) {
  fs::copy_file(TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX",
                directory_.File("DEFAULT.TVX"));
  WriteMidi(directory_.File("DEFAULT.MID"), "Factory piece");
  std::ofstream(directory_.File("tvx.ini"), std::ios::binary)
      << " 0 \r\n 1 \r\n 1 \r\n";

  ShowWindow();
  EXPECT_EQ(Text({Box::kOctave, 0}), "60");
  EXPECT_EQ(Text({Box::kVolume, 0}), "100");
  EXPECT_EQ(SpinnerShown({Box::kVolume, 0}), 100);
  EXPECT_NE(Text({Box::kMapped, 0}), "999");
  // The default composition is no file of the user's: no name yet.
  EXPECT_EQ(window_->windowTitle(), "Tessavar Composer");
  EXPECT_EQ(state_.composition_info, "Factory piece");
  EXPECT_TRUE(window_->save_button()->isEnabled());
  EXPECT_TRUE(player_.open);
  EXPECT_FALSE(window_->menus().autoplay->isChecked());
  EXPECT_TRUE(window_->menus().autoplay_redo->isChecked());
  EXPECT_TRUE(window_->menus().lock_mapped->isChecked());
  EXPECT_TRUE(errors_.messages.empty());
  // The default files keep their names; only the working file was added.
  EXPECT_EQ(state_.composition_path, "");
  EXPECT_TRUE(FileExists(FindExistingPath(directory_.File("TVX.MID"))));
}

TEST_F(StartupTest, ReactivationDoesNotLoadTheDefaultsAgain) {
  fs::copy_file(TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX",
                directory_.File("DEFAULT.TVX"));
  ShowWindow();
  TypeInto({Box::kTracks}, "9");

  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  EXPECT_EQ(Text({Box::kTracks}), "9");
}

TEST_F(StartupTest, WindowIsCentredAndAtAThirdOfTheHeight) {
  MakeWindow();
  const QRect screen = window_->screen()->geometry();
  const QRect frame = window_->frameGeometry();
  EXPECT_NEAR(frame.left() - screen.left(),
              (screen.width() - frame.width()) / 2, 1);
  EXPECT_NEAR(frame.top() - screen.top(),
              (screen.height() - frame.height()) / 3, 1);
}

TEST_F(StartupTest, ClosingWritesTheDefaultsAndLeavesANamedComposition) {
  ShowWindow();
  WriteMidi(directory_.File("tvx.mid"), " ");
  std::ofstream(directory_.File("song.tvx"), std::ios::binary) << "named";
  state_.composition_path = directory_.File("song.tvx");
  state_.midi_path = directory_.File("song.mid");
  TypeInto({Box::kTempo}, "300");
  QTest::keyClick(window_.get(), Qt::Key_F9);  // Lock Mapped Parameters
  ASSERT_TRUE(state_.options.lock_mapped);

  EXPECT_TRUE(window_->close());
  EXPECT_EQ(ReadFile(directory_.File("song.tvx")), "named");
  EXPECT_FALSE(fs::exists(directory_.File("song.mid")));
  const std::string saved =
      ReadFile(FindExistingPath(directory_.File("DEFAULT.TVX")));
  EXPECT_NE(saved.find("\r\n300\r\n"), std::string::npos);
  // The tempo changed after the music was made: it is not kept as the
  // default composition's music.
  EXPECT_FALSE(FileExists(directory_.File("DEFAULT.MID")));
  EXPECT_EQ(ReadFile(directory_.File("tvx.ini")), " 0 \r\n 0 \r\n 1 \r\n");
  EXPECT_EQ(state_.composition_path, directory_.File("song.tvx"));
  EXPECT_FALSE(player_.open);
  EXPECT_TRUE(errors_.messages.empty());
}

TEST_F(StartupTest, ASignalAnswersTheOpenDialogAndClosesAsExitDoes) {
  ShowWindow();
  TypeInto({Box::kTempo}, "300");
  QTest::keyClick(window_.get(), Qt::Key_F2);  // Autoplay: kept at once
  EXPECT_EQ(ReadFile(directory_.File("tvx.ini")), " 1 \r\n 0 \r\n 0 \r\n");

  QTimer::singleShot(0, window_.get(), [this] { window_->CloseOnSignal(); });
  QMessageBox box(QMessageBox::Question, "", "Replace it?",
                  QMessageBox::Yes | QMessageBox::No, window_.get());
  EXPECT_EQ(box.exec(), QMessageBox::No);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !window_->isVisible(); }));
  EXPECT_NE(ReadFile(FindExistingPath(directory_.File("DEFAULT.TVX")))
                .find("\r\n300\r\n"),
            std::string::npos);
}

TEST_F(StartupTest, TheNextStartRestoresWhatTheLastExitSaved) {
  // The factory composition as the launchers put it in place: under the
  // lower-case name the program writes, so that what it saves replaces it.
  fs::copy_file(TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX",
                directory_.File("default.tvx"));
  ShowWindow();
  TypeInto({Box::kTempo}, "300");
  TypeInto({Box::kStructure}, "5551212");
  ASSERT_TRUE(window_->close());
  window_.reset();

  ProgramState next_state;
  MainWindow next(next_state, player_, renderer_, dialogs_, errors_);
  next.show();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return next.commands().activated_once(); }));
  EXPECT_EQ(next_state.panel.Text({Box::kTempo}), "300");
  EXPECT_EQ(next_state.panel.Text({Box::kStructure}), "5551212");
  next.close();
}

}  // namespace
}  // namespace tessavar::testing
