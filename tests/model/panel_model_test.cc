#include "model/panel_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessavar {
namespace {

constexpr BoxId kMapping{Box::kMapping};
constexpr BoxId kVariation{Box::kVariation};
constexpr BoxId kTracksBox{Box::kTracks};
constexpr BoxId kTempo{Box::kTempo};
constexpr BoxId kStructure{Box::kStructure};
constexpr CheckId kAuto{Check::kMappedAuto};

BoxId Volume(int t) { return {Box::kVolume, t}; }
BoxId Pan(int t) { return {Box::kPan, t}; }
BoxId Octave(int t) { return {Box::kOctave, t}; }
BoxId Mapped(int i) { return {Box::kMapped, i}; }

// A panel whose score is fresh (as after Compose), counting the times the
// score is marked stale.
class PanelTest : public ::testing::Test {
 protected:
  PanelTest() {
    panel.on_score_cleared = [this] { ++cleared; };
    MakeScoreFresh();
  }
  void MakeScoreFresh() {
    panel.set_save_enabled(true);
    panel.set_compose_enabled(false);
    cleared = 0;
  }
  bool ScoreStale() const {
    return cleared > 0 && !panel.save_enabled() && panel.compose_enabled();
  }

  PanelModel panel;
  int cleared = 0;
};

TEST_F(PanelTest, StartsWithTheInitialContents) {
  EXPECT_EQ(panel.Text(kStructure), "1234567890123456");
  EXPECT_EQ(panel.Text(kMapping), "32767");
  EXPECT_EQ(panel.Spinner(kMapping), 32767);
  EXPECT_EQ(panel.Text(kTempo), "150");
  EXPECT_EQ(panel.Text(Octave(3)), "99");
  EXPECT_EQ(panel.Spinner(Octave(3)), 60);
  EXPECT_EQ(panel.Text(Volume(15)), "999");
  EXPECT_EQ(panel.Spinner(Pan(0)), 64);
  EXPECT_EQ(panel.Text(Mapped(5)), "999");
  EXPECT_EQ(panel.Spinner(Mapped(5)), 13);
  EXPECT_EQ(panel.Spinner(Mapped(2)), 0);
  EXPECT_EQ(panel.Spinner(Mapped(12)), 1);
  EXPECT_EQ(panel.Selection({List::kTonality}), 0);
  EXPECT_EQ(panel.Selection({List::kInstrument, 7}), 0);
  EXPECT_EQ(panel.CheckValue(kAuto), 0);
  EXPECT_TRUE(panel.enabled());
}

TEST_F(PanelTest, MappingTakesTheAbsoluteValue) {
  panel.SetText(kMapping, "-7");
  EXPECT_EQ(panel.Text(kMapping), "7");
  EXPECT_EQ(panel.Spinner(kMapping), 7);
  EXPECT_TRUE(ScoreStale());

  panel.SetText(kMapping, "0");
  EXPECT_EQ(panel.Text(kMapping), "0");
  EXPECT_EQ(panel.Spinner(kMapping), 7);
  panel.FocusLost(kMapping);
  EXPECT_EQ(panel.Text(kMapping), "0");
  EXPECT_EQ(panel.Spinner(kMapping), 7);
}

TEST_F(PanelTest, GeneralBoxOutOfRangeKeepsItsTextEvenOnLeaving) {
  panel.SetText(kTracksBox, "25");
  EXPECT_EQ(panel.Text(kTracksBox), "25");
  EXPECT_EQ(panel.Spinner(kTracksBox), 6);
  panel.FocusLost(kTracksBox);
  EXPECT_EQ(panel.Text(kTracksBox), "25");
  EXPECT_EQ(panel.Spinner(kTracksBox), 6);

  // A number with leading zeros is rewritten, a fraction is rounded by the
  // spinner, which then rewrites the box.
  panel.SetText(kTracksBox, "007");
  EXPECT_EQ(panel.Text(kTracksBox), "7");
  EXPECT_EQ(panel.Spinner(kTracksBox), 7);
  panel.SetText(kTracksBox, "9.5");
  EXPECT_EQ(panel.Text(kTracksBox), "10");
  EXPECT_EQ(panel.Spinner(kTracksBox), 10);
}

TEST_F(PanelTest, EmptyVariationIsLeftAloneButLettersReadAsZero) {
  panel.SetText(kVariation, "");
  EXPECT_EQ(panel.Spinner(kVariation), 5);
  panel.FocusLost(kVariation);
  EXPECT_EQ(panel.Text(kVariation), "");
  EXPECT_EQ(panel.Spinner(kVariation), 5);

  panel.SetText(kVariation, "x");
  EXPECT_EQ(panel.Text(kVariation), "0");
  EXPECT_EQ(panel.Spinner(kVariation), 0);
}

TEST_F(PanelTest, TempoSnapsOnlyWhenTheSpinnerMoves) {
  panel.SetSpinner(kTempo, 120);
  ASSERT_EQ(panel.Text(kTempo), "120");
  panel.SetText(kTempo, "155");
  EXPECT_EQ(panel.Text(kTempo), "150");
  EXPECT_EQ(panel.Spinner(kTempo), 150);

  // The spinner already stands at 150: the typed text stays until the box
  // loses the focus.
  panel.SetText(kTempo, "155");
  EXPECT_EQ(panel.Text(kTempo), "155");
  EXPECT_EQ(panel.Spinner(kTempo), 150);
  panel.FocusLost(kTempo);
  EXPECT_EQ(panel.Text(kTempo), "150");
  EXPECT_EQ(panel.Spinner(kTempo), 150);

  panel.SetText(kTempo, "15");
  panel.FocusLost(kTempo);
  EXPECT_EQ(panel.Text(kTempo), "15");
  EXPECT_EQ(panel.Spinner(kTempo), 150);
}

TEST_F(PanelTest, TempoSpinnerStepsByTenWithinItsRange) {
  panel.StepSpinner(kTempo, +1);
  EXPECT_EQ(panel.Text(kTempo), "160");
  EXPECT_EQ(panel.Spinner(kTempo), 160);
  panel.StepSpinner(kTempo, -1);
  panel.StepSpinner(kTempo, -1);
  EXPECT_EQ(panel.Text(kTempo), "140");

  for (int i = 0; i < 60; ++i) panel.StepSpinner(kTempo, +1);
  EXPECT_EQ(panel.Spinner(kTempo), 420);
  EXPECT_EQ(panel.Text(kTempo), "420");
  for (int i = 0; i < 60; ++i) panel.StepSpinner(kTempo, -1);
  EXPECT_EQ(panel.Spinner(kTempo), 20);
  EXPECT_EQ(panel.Text(kTempo), "20");
  EXPECT_TRUE(ScoreStale());
}

TEST_F(PanelTest, TrackBoxesClampOnLeaving) {
  panel.SetText(Volume(2), "200");
  EXPECT_EQ(panel.Text(Volume(2)), "200");
  EXPECT_EQ(panel.Spinner(Volume(2)), 64);
  panel.FocusLost(Volume(2));
  EXPECT_EQ(panel.Text(Volume(2)), "127");
  EXPECT_EQ(panel.Spinner(Volume(2)), 127);

  panel.SetText(Octave(0), "-5");
  panel.FocusLost(Octave(0));
  EXPECT_EQ(panel.Text(Octave(0)), "0");
  EXPECT_EQ(panel.Spinner(Octave(0)), 0);

  // Too large for any integer still counts as above the range.
  panel.SetText(Octave(1), "40000");
  panel.FocusLost(Octave(1));
  EXPECT_EQ(panel.Text(Octave(1)), "96");
  panel.SetText(Octave(1), std::string(400, '9'));
  panel.FocusLost(Octave(1));
  EXPECT_EQ(panel.Text(Octave(1)), "96");
  EXPECT_EQ(panel.Spinner(Octave(1)), 96);
}

// A transposition is rounded before it is held against 0..96.
TEST_F(PanelTest, TranspositionIsRoundedBeforeItsRangeCheck) {
  panel.SetText(Octave(0), "50");
  panel.SetText(Octave(0), "96.4");
  EXPECT_EQ(panel.Spinner(Octave(0)), 96);
  panel.SetText(Octave(0), "50");
  panel.SetText(Octave(0), "-0.4");
  EXPECT_EQ(panel.Spinner(Octave(0)), 0);
  panel.SetText(Octave(0), "96.6");  // 97: outside, the spinner stays
  EXPECT_EQ(panel.Spinner(Octave(0)), 0);
}

TEST_F(PanelTest, PanTextAloneDoesNotMarkTheScoreStale) {
  panel.SetText(Pan(4), "64");  // the spinner already stands at 64
  EXPECT_EQ(panel.Spinner(Pan(4)), 64);
  EXPECT_EQ(cleared, 0);
  EXPECT_TRUE(panel.save_enabled());

  panel.SetText(Pan(4), "30");
  EXPECT_EQ(panel.Spinner(Pan(4)), 30);
  EXPECT_TRUE(ScoreStale());

  MakeScoreFresh();
  panel.SetText(Volume(4), "64");
  EXPECT_TRUE(ScoreStale());
}

TEST_F(PanelTest, UserEditOfAMappedBoxSwitchesAutoOff) {
  ASSERT_TRUE(panel.SetCheck(kAuto, 1));
  panel.SetText(Mapped(1), "3");  // "Period Length", 1 to 4
  EXPECT_EQ(panel.CheckValue(kAuto), 0);
  EXPECT_EQ(panel.Spinner(Mapped(1)), 3);
  EXPECT_TRUE(ScoreStale());

  panel.SetText(Mapped(1), "9");
  EXPECT_EQ(panel.Text(Mapped(1)), "9");
  EXPECT_EQ(panel.Spinner(Mapped(1)), 3);
  panel.FocusLost(Mapped(1));
  EXPECT_EQ(panel.Text(Mapped(1)), "1");
  EXPECT_EQ(panel.Spinner(Mapped(1)), 1);

  ASSERT_TRUE(panel.SetCheck(kAuto, 1));
  panel.StepSpinner(Mapped(1), +1);
  EXPECT_EQ(panel.Text(Mapped(1)), "2");
  EXPECT_EQ(panel.CheckValue(kAuto), 0);
}

TEST_F(PanelTest, ClearedMappedBoxGoesToItsLowerBound) {
  panel.SetText(Mapped(5), "");  // "Note Pitch", 1 to 29
  EXPECT_EQ(panel.Spinner(Mapped(5)), 13);
  panel.FocusLost(Mapped(5));
  EXPECT_EQ(panel.Text(Mapped(5)), "1");
  EXPECT_EQ(panel.Spinner(Mapped(5)), 1);

  panel.SetText(Mapped(7), "");  // "Glissando", 0 to 12
  panel.FocusLost(Mapped(7));
  EXPECT_EQ(panel.Text(Mapped(7)), "0");
  EXPECT_EQ(panel.Spinner(Mapped(7)), 0);

  // A value in range is kept as it stands.
  panel.SetText(Mapped(7), "4");
  panel.FocusLost(Mapped(7));
  EXPECT_EQ(panel.Text(Mapped(7)), "4");
}

TEST_F(PanelTest, ComposerWritesWhileDisabledKeepAuto) {
  ASSERT_TRUE(panel.SetCheck(kAuto, 1));
  panel.DisablePanel();
  MakeScoreFresh();
  for (int i = 0; i < kMappedParameterCount; ++i) panel.SetText(Mapped(i), "2");
  EXPECT_EQ(panel.CheckValue(kAuto), 1);
  EXPECT_EQ(panel.Spinner(Mapped(6)), 2);
  EXPECT_EQ(panel.Text(Mapped(6)), "2");
  EXPECT_EQ(cleared, 0);
  EXPECT_TRUE(panel.save_enabled());

  // Disabled spinners ignore the arrows.
  panel.StepSpinner(Mapped(6), +1);
  EXPECT_EQ(panel.Spinner(Mapped(6)), 2);

  panel.EnablePanel();
  panel.SetText(Mapped(6), "3");
  EXPECT_EQ(panel.CheckValue(kAuto), 0);
}

TEST_F(PanelTest, TieMarksTheScoreStaleButAnInstrumentDoesNot) {
  EXPECT_TRUE(panel.Select({List::kInstrument, 3}, 40));
  EXPECT_EQ(panel.Selection({List::kInstrument, 3}), 40);
  EXPECT_TRUE(panel.save_enabled());
  EXPECT_EQ(cleared, 0);
  panel.DropDownOpened({List::kInstrument, 3});
  EXPECT_TRUE(panel.save_enabled());

  EXPECT_TRUE(panel.SetCheck({Check::kTie, 3}, 1));
  EXPECT_TRUE(ScoreStale());

  MakeScoreFresh();
  EXPECT_TRUE(panel.SetCheck({Check::kHiddenAuto}, 1));
  EXPECT_TRUE(panel.SetCheck(kAuto, 1));
  EXPECT_TRUE(panel.save_enabled());

  EXPECT_TRUE(panel.Select({List::kFade}, 2));
  EXPECT_TRUE(ScoreStale());
}

TEST_F(PanelTest, ListsAndChecksRefuseValuesTheyCannotTake) {
  EXPECT_TRUE(panel.Select({List::kTonality}, -1));
  EXPECT_EQ(panel.Selection({List::kTonality}), -1);
  EXPECT_TRUE(panel.Select({List::kTonality}, 7));
  EXPECT_FALSE(panel.Select({List::kTonality}, 8));
  EXPECT_FALSE(panel.Select({List::kMeter}, -2));
  EXPECT_FALSE(panel.Select({List::kInstrument, 0}, 128));
  EXPECT_TRUE(panel.Select({List::kInstrument, 0}, 127));
  EXPECT_EQ(panel.Selection({List::kTonality}), 7);
  EXPECT_EQ(panel.Selection({List::kInstrument, 0}), 127);

  EXPECT_TRUE(panel.SetCheck({Check::kTie, 0}, 2));
  EXPECT_TRUE(panel.IsChecked({Check::kTie, 0}));
  EXPECT_FALSE(panel.SetCheck({Check::kTie, 0}, 3));
  EXPECT_FALSE(panel.SetCheck(kAuto, -1));
  EXPECT_EQ(panel.CheckValue({Check::kTie, 0}), 2);
}

TEST_F(PanelTest, ChainsEndAfterOnePass) {
  std::vector<std::string> texts;
  panel.on_changed = [&] {
    if (texts.empty() || texts.back() != panel.Text(kTracksBox)) {
      texts.push_back(panel.Text(kTracksBox));
    }
  };
  panel.SetSpinner(kTracksBox, 9);
  EXPECT_EQ(panel.Spinner(kTracksBox), 9);
  EXPECT_EQ(texts, (std::vector<std::string>{"6", "9"}));
  // Spinner change and text change each mark the score once.
  EXPECT_EQ(cleared, 2);

  // Setting the same values again changes nothing at all.
  texts.clear();
  cleared = 0;
  panel.SetSpinner(kTracksBox, 9);
  panel.SetText(kTracksBox, "9");
  EXPECT_TRUE(texts.empty());
  EXPECT_EQ(cleared, 0);
}

TEST_F(PanelTest, StructureFocusClearsOnlyANoteInTheStatusLine) {
  panel.set_status_text("Playing");
  panel.FocusGained(kStructure);
  EXPECT_EQ(panel.status_text(), "Playing");
  panel.set_status_text("Note:  digit 0 used");
  panel.FocusGained(kStructure);
  EXPECT_EQ(panel.status_text(), "");

  panel.SetText(kStructure, "0012345");
  EXPECT_EQ(panel.Text(kStructure), "0012345");
  EXPECT_TRUE(ScoreStale());
}

TEST_F(PanelTest, OpeningAGeneralListMarksTheScoreAndHighlightsIt) {
  panel.DropDownOpened({List::kSmoothing});
  EXPECT_TRUE(ScoreStale());
  EXPECT_TRUE(panel.IsHighlighted({List::kSmoothing}));
  EXPECT_FALSE(panel.IsHighlighted({List::kMeter}));
  panel.ListFocusLost({List::kSmoothing});
  EXPECT_FALSE(panel.IsHighlighted({List::kSmoothing}));
}

}  // namespace
}  // namespace tessavar
