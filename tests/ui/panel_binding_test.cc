// The panel's widgets drive the panel model: typing, spinner arrows, focus
// changes, list selection and drop-down opening, through the real window.
#include <QCheckBox>
#include <QStyleOptionSlider>

#include "ui/list_combo.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

class PanelBindingTest : public WindowTest {
 protected:
  void SetUp() override { ShowWindow(); }

  // Clicks the spinner's up (+1) or down (-1) arrow with the mouse.
  void ClickArrow(BoxId id, int direction) {
    Spinner* spinner = window_->panel_view().SpinnerFor(id);
    QStyleOptionSlider option;
    option.initFrom(spinner);
    option.orientation = Qt::Vertical;
    option.minimum = spinner->minimum();
    option.maximum = spinner->maximum();
    option.sliderPosition = spinner->sliderPosition();
    option.sliderValue = spinner->value();
    option.singleStep = spinner->singleStep();
    option.pageStep = spinner->pageStep();
    option.subControls = QStyle::SC_All;
    const QRect arrow = spinner->style()->subControlRect(
        QStyle::CC_ScrollBar, &option,
        direction > 0 ? QStyle::SC_ScrollBarSubLine
                      : QStyle::SC_ScrollBarAddLine,
        spinner);
    QTest::mouseClick(spinner, Qt::LeftButton, {}, arrow.center());
  }

  const BoxId mapping_{Box::kMapping};
  const BoxId tracks_{Box::kTracks};
  const BoxId tempo_{Box::kTempo};
};

TEST_F(PanelBindingTest, MappingShowsTheAbsoluteValueWhileTyping) {
  TypeInto(mapping_, "-7");
  EXPECT_EQ(Text(mapping_), "7");
  EXPECT_EQ(SpinnerShown(mapping_), 7);

  TypeInto(mapping_, "0");
  EXPECT_EQ(Text(mapping_), "0");
  EXPECT_EQ(SpinnerShown(mapping_), 7);
  LeaveBox(mapping_);
  EXPECT_EQ(Text(mapping_), "0");  // out of range: kept for Compose to refuse
  EXPECT_EQ(SpinnerShown(mapping_), 7);
}

TEST_F(PanelBindingTest, TracksOutOfRangeStaysAsTyped) {
  TypeInto(tracks_, "25");  // "2" moved the spinner, "25" leaves it there
  EXPECT_EQ(Text(tracks_), "25");
  EXPECT_EQ(SpinnerShown(tracks_), 2);
  LeaveBox(tracks_);
  EXPECT_EQ(Text(tracks_), "25");
  EXPECT_EQ(SpinnerShown(tracks_), 2);
}

TEST_F(PanelBindingTest, TempoSnapsToTensWhenItsSpinnerMoves) {
  TypeInto(tempo_, "155");  // the spinner stays at 150
  EXPECT_EQ(Text(tempo_), "155");
  LeaveBox(tempo_);
  EXPECT_EQ(Text(tempo_), "150");

  for (int i = 0; i < 3; ++i) ClickArrow(tempo_, -1);
  EXPECT_EQ(SpinnerShown(tempo_), 120);
  EXPECT_EQ(Text(tempo_), "120");
  TypeInto(tempo_, "155");  // now the spinner moves, and the box follows
  EXPECT_EQ(Text(tempo_), "150");
  EXPECT_EQ(SpinnerShown(tempo_), 150);
}

TEST_F(PanelBindingTest, TempoArrowsStepByTenWithinTheirRange) {
  ClickArrow(tempo_, +1);
  EXPECT_EQ(Text(tempo_), "160");
  for (int i = 0; i < 30; ++i) ClickArrow(tempo_, +1);
  EXPECT_EQ(Text(tempo_), "420");
  EXPECT_EQ(SpinnerShown(tempo_), 420);
  for (int i = 0; i < 45; ++i) ClickArrow(tempo_, -1);
  EXPECT_EQ(Text(tempo_), "20");
  EXPECT_EQ(SpinnerShown(tempo_), 20);
}

TEST_F(PanelBindingTest, VolumeIsClampedWhenTheBoxLosesTheFocus) {
  const BoxId volume{Box::kVolume, 2};
  TypeInto(volume, "200");  // "20" moved the spinner, "200" is too much
  EXPECT_EQ(Text(volume), "200");
  EXPECT_EQ(SpinnerShown(volume), 20);
  LeaveBox(volume);
  EXPECT_EQ(Text(volume), "127");
  EXPECT_EQ(SpinnerShown(volume), 127);
  EXPECT_TRUE(Edit({Box::kPan, 2})->hasFocus());  // Tab followed the rows
}

TEST_F(PanelBindingTest, EditingAMappedBoxSwitchesAutoOff) {
  QCheckBox* auto_check = window_->panel_view().CheckBox({Check::kMappedAuto});
  QTest::mouseClick(auto_check, Qt::LeftButton);
  ASSERT_TRUE(auto_check->isChecked());
  ASSERT_EQ(state_.panel.CheckValue({Check::kMappedAuto}), 1);

  const BoxId period_length{Box::kMapped, 1};
  TypeInto(period_length, "3");
  EXPECT_FALSE(auto_check->isChecked());
  EXPECT_EQ(SpinnerShown(period_length), 3);

  TypeInto(period_length, "9");
  LeaveBox(period_length);
  EXPECT_EQ(Text(period_length), "1");
  EXPECT_EQ(SpinnerShown(period_length), 1);

  const BoxId repeat{Box::kMapped, 2};
  Edit(repeat)->setFocus(Qt::MouseFocusReason);
  Edit(repeat)->selectAll();
  QTest::keyClick(Edit(repeat), Qt::Key_Backspace);
  EXPECT_EQ(Text(repeat), "");
  LeaveBox(repeat);
  EXPECT_EQ(Text(repeat), "0");
}

TEST_F(PanelBindingTest, InstrumentKeepsTheScoreButTieMarksItStale) {
  state_.panel.set_save_enabled(true);
  state_.panel.set_compose_enabled(false);
  window_->Refresh();
  ASSERT_TRUE(window_->save_button()->isEnabled());

  ListCombo* instrument = window_->panel_view().Combo({List::kInstrument, 3});
  instrument->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(instrument, Qt::Key_Down);
  EXPECT_EQ(state_.panel.Selection({List::kInstrument, 3}), 1);
  EXPECT_EQ(instrument->currentText(), "1 BRIGHT ACOUSTIC PIANO");
  EXPECT_TRUE(window_->save_button()->isEnabled());
  EXPECT_FALSE(window_->compose_button()->isEnabled());

  player_.log.clear();
  QTest::mouseClick(window_->panel_view().CheckBox({Check::kTie, 3}),
                    Qt::LeftButton);
  EXPECT_EQ(state_.panel.CheckValue({Check::kTie, 3}), 1);
  EXPECT_FALSE(window_->save_button()->isEnabled());
  EXPECT_FALSE(window_->menus().save_composition->isEnabled());
  EXPECT_TRUE(window_->compose_button()->isEnabled());
  EXPECT_EQ(player_.log, std::vector<std::string>{"Close"});
}

TEST_F(PanelBindingTest, AnOpenedListIsBlackOnWhiteUntilItLosesTheFocus) {
  ListCombo* tonality = window_->panel_view().Combo({List::kTonality});
  state_.panel.set_save_enabled(true);
  window_->Refresh();
  tonality->setFocus(Qt::MouseFocusReason);
  tonality->showPopup();
  EXPECT_EQ(tonality->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(tonality->palette().color(QPalette::Text), QColor(Qt::black));
  EXPECT_FALSE(window_->save_button()->isEnabled());  // opening marks stale
  tonality->hidePopup();
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  EXPECT_EQ(tonality->palette().color(QPalette::Base), QColor(Qt::white));

  Edit({Box::kStructure})->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(tonality->palette().color(QPalette::Base), QColor(Qt::black));
  EXPECT_EQ(tonality->palette().color(QPalette::Text), QColor(0, 255, 0));
}

TEST_F(PanelBindingTest, StructureFocusClearsAComposeNote) {
  window_->compose_button()->setFocus(Qt::MouseFocusReason);
  state_.panel.set_status_text("Note:  Structure must not be all one digit");
  window_->Refresh();
  EXPECT_EQ(window_->status_line()->text(),
            "Note:  Structure must not be all one digit");
  Edit({Box::kStructure})->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(window_->status_line()->text(), "");
}

TEST_F(PanelBindingTest, DisabledPanelDisablesItsWidgetsButNotTheButtons) {
  state_.panel.DisablePanel();
  EXPECT_FALSE(Edit({Box::kStructure})->isEnabled());
  EXPECT_FALSE(window_->panel_view().CheckBox({Check::kTie, 15})->isEnabled());
  EXPECT_FALSE(
      window_->panel_view().SpinnerFor({Box::kMapped, 4})->isEnabled());
  EXPECT_TRUE(window_->compose_button()->isEnabled());
  state_.panel.EnablePanel();
  EXPECT_TRUE(Edit({Box::kStructure})->isEnabled());
  EXPECT_TRUE(window_->panel_view().SpinnerFor({Box::kMapped, 4})->isEnabled());
}

}  // namespace
}  // namespace tessavar::testing
