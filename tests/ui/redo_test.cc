// Redo through the window: the new instrument and pan of a track reach the
// working MIDI file as exactly two changed bytes.
#include <QSlider>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "base/file_system.h"
#include "ui/list_combo.h"
#include "ui/playback_strip.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

class RedoTest : public WindowTest {
 protected:
  void SetUp() override {
    ShowWindow();
    // Three tracks on channels 1 to 3, panned as the panel says now.
    for (int t = 0; t < 3; ++t) TypeInto({Box::kPan, t}, "64");
    ASSERT_TRUE(WriteScoreFile(state_.paths.working_midi, 3, 60, state_.panel,
                               state_.channel_map, errors_));
    working_ = FindExistingPath(state_.paths.working_midi);
  }

  std::string working_;
};

TEST_F(RedoTest, ChangesExactlyTheProgramAndPanBytesOfTheTrack) {
  const std::string before = ReadFile(working_);
  ListCombo* instrument = window_->panel_view().Combo({List::kInstrument, 2});
  instrument->setCurrentIndex(40);
  emit instrument->activated(40);  // as a choice from the list does
  TypeInto({Box::kPan, 2}, "20");
  LeaveBox({Box::kPan, 2});
  ASSERT_EQ(state_.panel.Selection({List::kInstrument, 2}), 40);

  player_.log.clear();
  QTest::mouseClick(window_->redo_button(), Qt::LeftButton);
  const std::string after = ReadFile(working_);
  ASSERT_EQ(after.size(), before.size());
  std::vector<size_t> changed;
  for (size_t i = 0; i < after.size(); ++i) {
    if (after[i] != before[i]) changed.push_back(i);
  }
  ASSERT_EQ(changed.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(after[changed[0] - 1]), 0xC2);
  EXPECT_EQ(after[changed[0]], 0x28);
  EXPECT_EQ(static_cast<unsigned char>(after[changed[1] - 2]), 0xB2);
  EXPECT_EQ(after[changed[1] - 1], 0x0A);
  EXPECT_EQ(after[changed[1]], 0x14);

  // The interface is back, the player holds the file, nothing plays.
  EXPECT_TRUE(window_->redo_button()->isEnabled());
  EXPECT_TRUE(window_->load_button()->isEnabled());
  EXPECT_TRUE(window_->compose_button()->isEnabled());
  EXPECT_TRUE(Edit({Box::kStructure})->isEnabled());
  EXPECT_NE(window_->status_line()->text(), "re-generating MIDI file...");
  EXPECT_TRUE(player_.open);
  EXPECT_EQ(std::count(player_.log.begin(), player_.log.end(), "Play"), 0);
}

TEST_F(RedoTest, AutoplayAfterRedoStartsWhereTheSliderStands) {
  QTest::keyClick(window_.get(), Qt::Key_F6);
  player_.length_ms = 200000;
  window_->playback_strip().slider()->setValue(500);
  QTest::mouseClick(window_->redo_button(), Qt::LeftButton);
  ASSERT_GE(player_.log.size(), 2u);
  EXPECT_EQ(player_.log[player_.log.size() - 2], "From 100000");
  EXPECT_EQ(player_.log.back(), "Play");
}

}  // namespace
}  // namespace tessavar::testing
