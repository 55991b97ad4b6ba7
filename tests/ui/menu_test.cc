// The menu bar, the option check marks and the tab order of the window.
#include <QCheckBox>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

#include "ui/dialogs/modal_answer.h"
#include "ui/list_combo.h"
#include "ui/midi_drag_handle.h"
#include "ui/playback_strip.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

// One line per item: caption (empty for a separator), "|", shortcuts.
std::string Describe(QMenu* menu) {
  std::string text;
  for (QAction* action : menu->actions()) {
    if (!action->isSeparator()) text += action->text().toStdString();
    text += "|" +
            QKeySequence::listToString(action->shortcuts()).toStdString() +
            "\n";
  }
  return text;
}

class MenuTest : public WindowTest {
 protected:
  void SetUp() override { ShowWindow(); }
};

TEST_F(MenuTest, MenusHaveTheirCaptionsAccessKeysAndShortcuts) {
  const QList<QAction*> top = window_->menuBar()->actions();
  ASSERT_EQ(top.size(), 4);
  EXPECT_EQ(top[0]->text(), "&File");
  EXPECT_EQ(top[1]->text(), "&Edit");
  EXPECT_EQ(top[2]->text(), "&Options");
  EXPECT_EQ(top[3]->text(), "&Help");

  EXPECT_EQ(Describe(window_->menus().file),
            "&Load Composition|Ctrl+L\n"
            "&Save Composition|Ctrl+S\n"
            "Save &Again|Ctrl+Alt+S\n"
            "&Recent Compositions|\n"
            "Composition In&fo|Ctrl+F\n"
            "|\n"
            "L&oad Orchestration|Ctrl+O\n"
            "S&ave Orchestration\tCtrl+A, Ctrl+Shift+S|Ctrl+A; Ctrl+Shift+S\n"
            "|\n"
            "&Define Scale|F3\n"
            "Load S&cale|F4\n"
            "Sa&ve Scale|F5\n"
            "|\n"
            "&Melody-to-Structure|F7\n"
            "M&IDI Map|F8\n"
            "|\n"
            "&Export Audio...|\n"
            "Export S&tems...|\n"
            "Ex&port|\n"
            "|\n"
            "E&xit\tCtrl+X, Ctrl+Q|Ctrl+X; Ctrl+Q\n");
  EXPECT_EQ(Describe(window_->menus().edit),
            "&Undo Change|Ctrl+Z\n"
            "Re&do Change\tCtrl+Shift+Z, Ctrl+Y|Ctrl+Shift+Z; Ctrl+Y\n"
            "|\n"
            "&Previous Mapping|Alt+Left\n"
            "&Next Mapping|Alt+Right\n"
            "|\n"
            "Piece &History...|Ctrl+H\n");
  EXPECT_EQ(Describe(window_->menus().options),
            "Autoplay after Compose|F2\n"
            "Autoplay after Redo|F6\n"
            "|\n"
            "Lock Mapped Parameters|F9\n"
            "|\n"
            "SoundFont...|\n");
  EXPECT_EQ(Describe(window_->menus().help),
            "&Help File|F1\n"
            "|\n"
            "&About Tessavar Composer|\n");
}

TEST_F(MenuTest, InATextBoxCtrlAAndCtrlXEditAndTheSecondShortcutsWork) {
  QLineEdit* tempo = Edit({Box::kTempo});
  const QString text = tempo->text();
  ASSERT_FALSE(text.isEmpty());
  tempo->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  tempo->deselect();
  QTest::keyClick(tempo, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(tempo->selectedText(), text);
  QTest::keyClick(tempo, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(tempo->text(), "");
  EXPECT_TRUE(window_->isVisible());
  EXPECT_TRUE(dialogs_.save_requests.empty());

  QTest::keyClick(tempo, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(dialogs_.save_requests.size(), 1u);
  EXPECT_EQ(dialogs_.save_requests[0].title, "Save Orchestration As");
  QTest::keyClick(tempo, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(window_->isVisible());
}

TEST_F(MenuTest, GeneralBoxesAndTheirSpinnersShareTwoColumns) {
  const Box boxes[] = {Box::kMapping, Box::kVariation, Box::kTracks,
                       Box::kTempo};
  const QWidget* panel = window_->centralWidget();
  auto left = [panel](const QWidget* widget) {
    return widget->mapTo(panel, QPoint(0, 0)).x();
  };
  const QLineEdit* first = Edit({boxes[0]});
  const Spinner* first_spinner = window_->panel_view().SpinnerFor({boxes[0]});
  EXPECT_GT(left(first_spinner), left(first));
  for (Box box : boxes) {
    EXPECT_EQ(left(Edit({box})), left(first));
    EXPECT_EQ(Edit({box})->width(), first->width());
    EXPECT_EQ(left(window_->panel_view().SpinnerFor({box})),
              left(first_spinner));
  }
}

TEST_F(MenuTest, OptionShortcutsToggleOnlyTheirOwnCheckMark) {
  QAction* autoplay = window_->menus().autoplay;
  QAction* autoplay_redo = window_->menus().autoplay_redo;
  QAction* lock = window_->menus().lock_mapped;
  player_.log.clear();
  EXPECT_FALSE(autoplay->isChecked() || autoplay_redo->isChecked() ||
               lock->isChecked());
  QTest::keyClick(window_.get(), Qt::Key_F2);
  EXPECT_TRUE(autoplay->isChecked());
  EXPECT_TRUE(state_.options.autoplay);
  QTest::keyClick(window_.get(), Qt::Key_F6);
  QTest::keyClick(window_.get(), Qt::Key_F6);
  EXPECT_FALSE(autoplay_redo->isChecked());
  EXPECT_FALSE(state_.options.autoplay_redo);
  lock->trigger();
  EXPECT_TRUE(lock->isChecked());
  EXPECT_TRUE(state_.options.lock_mapped);
  EXPECT_TRUE(autoplay->isChecked());
  EXPECT_TRUE(player_.log.empty());
}

TEST_F(MenuTest, SaveIsOfferedOnlyWhileAComposedScoreExists) {
  EXPECT_FALSE(window_->menus().save_composition->isEnabled());
  EXPECT_FALSE(window_->save_button()->isEnabled());
  state_.panel.set_save_enabled(true);
  window_->Refresh();
  EXPECT_TRUE(window_->menus().save_composition->isEnabled());
  TypeInto({Box::kStructure}, "3141");
  EXPECT_FALSE(window_->menus().save_composition->isEnabled());
  EXPECT_FALSE(window_->save_button()->isEnabled());
}

TEST_F(MenuTest, TabRunsThroughTheGeneralParametersAndTheTrackRows) {
  PanelView& view = window_->panel_view();
  std::vector<QWidget*> expected = {
      Edit({Box::kMapping}),
      Edit({Box::kVariation}),
      Edit({Box::kTracks}),
      Edit({Box::kTempo}),
      view.Combo({List::kTonality}),
      view.Combo({List::kSmoothing}),
      view.Combo({List::kMeter}),
      view.Combo({List::kFade}),
      view.Combo({List::kInstrument, 0}),
      Edit({Box::kOctave, 0}),
      Edit({Box::kVolume, 0}),
      Edit({Box::kPan, 0}),
      view.CheckBox({Check::kTie, 0}),
      view.Combo({List::kInstrument, 1}),
  };
  Edit({Box::kStructure})->setFocus(Qt::TabFocusReason);
  for (QWidget* next : expected) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), next)
        << next->objectName().toStdString();
  }
  // From the last track row on to "Auto" and the mapped boxes in screen
  // order; the spinners are never visited.
  view.CheckBox({Check::kTie, 15})->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), view.CheckBox({Check::kMappedAuto}));
  for (int i : kMappedScreenOrder) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Edit({Box::kMapped, i}));
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), window_->compose_button());
}

// After a Save (its dialogs closed) Tab still runs from Compose through
// every command button, the player strip and the MIDI tile, and each stop
// looks different while it has the focus.
TEST_F(MenuTest, TabRunsThroughTheCommandsAndTheStripWithVisibleFocus) {
  MakeWorkingFile();
  dialogs_.file_answers.push_back(directory_.File("song"));
  AnswerNextModal([](QWidget* modal) { modal->close(); });
  QTest::mouseClick(window_->save_button(), Qt::LeftButton);
  Reactivate();
  player_.SetFileName(state_.paths.working_midi);
  player_.Open();
  window_->Refresh();
  PlaybackStrip& strip = window_->playback_strip();
  const std::vector<QWidget*> stops = {window_->redo_button(),
                                       window_->load_button(),
                                       window_->save_button(),
                                       window_->previous_mapping_button(),
                                       window_->next_mapping_button(),
                                       strip.rewind_button(),
                                       strip.play_button(),
                                       strip.pause_button(),
                                       strip.stop_button(),
                                       strip.slider(),
                                       strip.midi_handle()};
  window_->compose_button()->setFocus(Qt::TabFocusReason);
  for (QWidget* stop : stops) {
    const QImage without_focus = stop->grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), stop)
        << stop->objectName().toStdString();
    EXPECT_NE(stop->grab().toImage(), without_focus)
        << stop->objectName().toStdString();
  }
}

}  // namespace
}  // namespace tessavar::testing
