// The window's dialog commands: MIDI map and composition information with
// their validation, and saving and loading a composition with answered
// dialogs.
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/file_system.h"
#include "midi/composition_info.h"
#include "ui/dialogs/comp_info_dialog.h"
#include "ui/dialogs/help_window.h"
#include "ui/dialogs/midi_map_dialog.h"
#include "ui/dialogs/modal_answer.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

namespace fs = std::filesystem;

class DialogCommandsTest : public WindowTest {
 protected:
  void SetUp() override { ShowWindow(); }
};

TEST_F(DialogCommandsTest, MidiMapRefusesAnInvalidChannelUntilCorrected) {
  bool answered = false;
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<MidiMapDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "TVX Track to MIDI Channel Map");
    dialog->channel_box(0)->setText("17");
    dialog->ok_button()->click();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text,
              "MIDI channel number must be 1 to 16.");
    EXPECT_EQ(dialogs_.messages[0].title, "MIDI Map Error");
    EXPECT_EQ(state_.channel_map[0], 1);
    dialog->channel_box(0)->setText("10");
    dialog->channel_box(1)->setText("10");
    dialog->ok_button()->click();
    answered = true;
  });
  QTest::keyClick(window_.get(), Qt::Key_F8);
  EXPECT_TRUE(answered);
  EXPECT_EQ(state_.channel_map[0], 10);
  EXPECT_EQ(state_.channel_map[1], 10);  // shared channels are accepted
  EXPECT_EQ(state_.channel_map[2], 3);
}

TEST_F(DialogCommandsTest, CompositionInfoRefusesMoreThan127Characters) {
  bool answered = false;
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<CompInfoDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->text_box()->setText(QString(128, 'x'));
    dialog->ok_button()->click();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text,
              "Composition info cannot exceed 127 bytes.");
    dialog->text_box()->setText(QString(127, 'y') + "   ");
    dialog->ok_button()->click();
    answered = true;
  });
  QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(answered);
  EXPECT_EQ(state_.composition_info, std::string(127, 'y'));
}

TEST_F(DialogCommandsTest, SaveAndLoadACompositionThroughTheButtons) {
  TypeInto({Box::kStructure}, "2718281");
  MakeWorkingFile();
  dialogs_.file_answers.push_back(directory_.File("Tunes/Song"));
  AnswerNextModal([](QWidget* modal) {
    auto* dialog = qobject_cast<CompInfoDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->text_box()->setText("A song for the test");
    dialog->ok_button()->click();
  });
  QTest::mouseClick(window_->save_button(), Qt::LeftButton);
  EXPECT_EQ(window_->windowTitle(), "Tessavar Composer [song.tvx]");
  EXPECT_TRUE(fs::exists(directory_.File("Tunes/song.tvx")));
  EXPECT_EQ(ExtractCompositionInfo(directory_.File("Tunes/song.mid")),
            "A song for the test");
  EXPECT_TRUE(errors_.messages.empty());

  // Change the panel, then load the composition back by the Load button.
  TypeInto({Box::kStructure}, "999111");
  state_.composition_info = "other";
  dialogs_.file_answers.push_back(directory_.File("Tunes/Song.tvx"));
  QTest::mouseClick(window_->load_button(), Qt::LeftButton);
  EXPECT_EQ(Text({Box::kStructure}), "2718281");
  EXPECT_EQ(state_.composition_info, "A song for the test");
  // The title names the file really read.
  EXPECT_EQ(window_->windowTitle(), "Tessavar Composer [song.tvx]");
  EXPECT_TRUE(window_->save_button()->isEnabled());
  EXPECT_EQ(ReadFile(FindExistingPath(state_.paths.working_midi)),
            ReadFile(directory_.File("Tunes/song.mid")));
  EXPECT_TRUE(errors_.messages.empty());
}

TEST_F(DialogCommandsTest, LockMappedParametersKeepsTheMappedBoxesOnLoad) {
  TypeInto({Box::kMapped, 3}, "7");
  MakeWorkingFile();
  dialogs_.file_answers.push_back(directory_.File("locked"));
  AnswerNextModal([](QWidget* modal) {
    static_cast<CompInfoDialog*>(modal)->ok_button()->click();
  });
  window_->menus().save_composition->trigger();
  ASSERT_TRUE(fs::exists(directory_.File("locked.tvx")));
  Reactivate();

  TypeInto({Box::kMapped, 3}, "2");
  QTest::mouseClick(window_->panel_view().CheckBox({Check::kMappedAuto}),
                    Qt::LeftButton);
  QTest::keyClick(window_.get(), Qt::Key_F9);
  ASSERT_TRUE(window_->menus().lock_mapped->isChecked());
  dialogs_.file_answers.push_back(directory_.File("locked.tvx"));
  QTest::keyClick(window_.get(), Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(Text({Box::kMapped, 3}), "2");
  EXPECT_EQ(SpinnerShown({Box::kMapped, 3}), 2);
  EXPECT_TRUE(
      window_->panel_view().CheckBox({Check::kMappedAuto})->isChecked());

  QTest::keyClick(window_.get(), Qt::Key_F9);  // unlocked: loaded again
  dialogs_.file_answers.push_back(directory_.File("locked.tvx"));
  QTest::keyClick(window_.get(), Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(Text({Box::kMapped, 3}), "7");
  EXPECT_FALSE(
      window_->panel_view().CheckBox({Check::kMappedAuto})->isChecked());
}

TEST_F(DialogCommandsTest, HelpOpensWithoutBlockingTheMainWindow) {
  QTest::keyClick(window_.get(), Qt::Key_F1);
  EXPECT_TRUE(window_->help_window()->isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(window_->close());
  EXPECT_FALSE(window_->help_window()->isVisible());
}

TEST_F(DialogCommandsTest, SplashIsHiddenByTheWindowsTimer) {
  auto* timer = window_->findChild<QTimer*>("SplashTimer");
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->interval(), 5000);
  EXPECT_TRUE(timer->isSingleShot());
  window_->about_window()->show();
  emit timer->timeout({});
  EXPECT_FALSE(window_->about_window()->isVisible());
}

}  // namespace
}  // namespace tessavar::testing
