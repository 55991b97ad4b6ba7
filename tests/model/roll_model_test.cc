// The roll's mapping of ticks and keys to pixels, zoom and scroll, bar and
// octave marks, the notes in view, the playhead, the loop region and the
// mute and solo rules.
#include "model/roll_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/midi_bytes.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::Note;
using testing::Quarters;
using testing::WriterLayoutFile;

// 1 tick = 1 pixel when fitted: 16 quarters (4 bars of 4/4) on 1536 pixels.
constexpr int kTicks = 16 * 96;
constexpr int kWidth = kRollKeyGutter + kTicks;
constexpr int kHeight = kRollRulerHeight + 240;

class RollModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Track 1: 16 quarters of C4; track 2: one long E4 over the whole piece.
    Result<MidiContent> read = ReadMidiContent(
        WriterLayoutFile({Quarters(16, 60), {Note{0, 64, kTicks}}}));
    ASSERT_TRUE(read.ok());
    model_.SetViewSize(kWidth, kHeight);
    model_.SetContent(std::move(read).value());
  }

  std::vector<std::pair<int, int64_t>> VisibleNotes() const {
    std::vector<std::pair<int, int64_t>> notes;
    model_.ForEachVisibleNote([&](int track, const MidiNote& note) {
      notes.push_back({track, note.start});
    });
    return notes;
  }

  RollModel model_;
};

TEST_F(RollModelTest, FittedViewMapsTicksAndKeysOntoTheArea) {
  EXPECT_DOUBLE_EQ(model_.ticks_per_pixel(), 1.0);
  EXPECT_DOUBLE_EQ(model_.TickToX(0), kRollKeyGutter);
  EXPECT_DOUBLE_EQ(model_.TickToX(kTicks), kWidth);
  EXPECT_EQ(model_.XToTick(kRollKeyGutter + 100), 100);
  // Keys 60..64 widen to two whole octaves from C4.
  EXPECT_EQ(model_.low_key(), 60);
  EXPECT_EQ(model_.high_key(), 83);
  EXPECT_DOUBLE_EQ(model_.KeyHeight(), 10.0);
  EXPECT_DOUBLE_EQ(model_.KeyToY(83), kRollRulerHeight);
  EXPECT_DOUBLE_EQ(model_.KeyToY(60), kHeight - 10);
  EXPECT_EQ(model_.OctaveKeys(), (std::vector<int>{60, 72}));
  EXPECT_EQ(RollModel::KeyName(60), "C4");
  EXPECT_EQ(RollModel::KeyName(73), "C#5");
  EXPECT_EQ(model_.VisibleBarTicks(),
            (std::vector<int64_t>{0, 384, 768, 1152, 1536}));
  EXPECT_EQ(model_.BarStride(1000), 4);  // 4 bars of 384 pixels
  EXPECT_EQ(model_.RowOfTrack(1), 0);
  EXPECT_EQ(model_.TracksWithNotes(), (std::vector<int>{1, 2}));
}

TEST_F(RollModelTest, ZoomKeepsTheAnchorAndOnlyVisibleNotesAreVisited) {
  const int anchor_x = kRollKeyGutter + 1000;
  model_.ZoomAt(4.0, anchor_x);
  EXPECT_DOUBLE_EQ(model_.ticks_per_pixel(), 0.25);
  EXPECT_EQ(model_.XToTick(anchor_x), 1000);
  // 1536 px x 0.25 = 384 ticks from 750: quarters 7..11 and the long note.
  EXPECT_EQ(model_.VisibleStartTick(), 750);
  std::vector<std::pair<int, int64_t>> expected = {
      {1, 672}, {1, 768}, {1, 864}, {1, 960}, {1, 1056}, {2, 0}};
  EXPECT_EQ(VisibleNotes(), expected);

  model_.ScrollByPixels(1 << 20);  // past the end: clamped
  EXPECT_EQ(model_.VisibleEndTick(), kTicks);
  model_.ZoomAt(0.001, anchor_x);  // never further out than the whole piece
  EXPECT_DOUBLE_EQ(model_.ticks_per_pixel(), 1.0);
  EXPECT_EQ(model_.scroll_tick(), 0);
}

TEST_F(RollModelTest, PlayheadPagesTheViewOnlyWhenItLeavesIt) {
  model_.ZoomAt(4.0, kRollKeyGutter);  // ticks 0..383 in view
  EXPECT_FALSE(model_.SetPlayheadMs(model_.content().timing.TicksToMs(200)));
  EXPECT_EQ(model_.scroll_tick(), 0);
  const int64_t later = model_.content().timing.TicksToMs(900);
  EXPECT_TRUE(model_.SetPlayheadMs(later));
  EXPECT_LE(model_.VisibleStartTick(), model_.playhead_tick());
  EXPECT_GT(model_.VisibleEndTick(), model_.playhead_tick());
  model_.set_follow(false);
  EXPECT_FALSE(model_.SetPlayheadMs(0));
  EXPECT_EQ(model_.playhead_tick(), 0);
}

TEST_F(RollModelTest, LoopRegionOrWholePiece) {
  const MidiTiming& timing = model_.content().timing;
  model_.SelectLoopRegion(kRollKeyGutter + 2, kRollKeyGutter + 4);  // a click
  EXPECT_FALSE(model_.has_region());
  EXPECT_EQ(model_.LoopStartMs(), 0);
  EXPECT_EQ(model_.LoopEndMs(), timing.LengthMs());
  model_.SelectLoopRegion(kRollKeyGutter + 768, kRollKeyGutter + 384);
  ASSERT_TRUE(model_.has_region());
  EXPECT_EQ(model_.LoopStartMs(), timing.TicksToMs(384));
  EXPECT_EQ(model_.LoopEndMs(), timing.TicksToMs(768));
  EXPECT_EQ(model_.MsAtX(kRollKeyGutter + 384), timing.TicksToMs(384));
}

TEST(TrackMixTest, MuteAndSoloDecideWhatIsHeard) {
  TrackMix mix;
  mix.SetTrackCount(4);
  EXPECT_EQ(mix.SilentTracks(),
            (std::vector<bool>{false, false, false, false}));
  mix.SetMuted(1, true);
  EXPECT_EQ(mix.SilentTracks(), (std::vector<bool>{false, true, false, false}));
  mix.SetSoloed(2, true);
  mix.SetSoloed(1, true);  // soloed but muted: still silent
  EXPECT_EQ(mix.SilentTracks(), (std::vector<bool>{true, true, false, true}));
  mix.SetTrackCount(4);  // the same file again keeps the states
  EXPECT_TRUE(mix.soloed(2));
  mix.SetTrackCount(3);
  EXPECT_FALSE(mix.soloed(2));
  mix.SetMuted(7, true);  // out of range: ignored
  EXPECT_FALSE(mix.muted(7));
}

TEST(RollModelFileTest, UnreadableFileGivesAnEmptyRollWithAReason) {
  testing::TempDir dir;
  dir.Write("broken.mid", "MThd garbage");
  const std::string path = dir.File("broken.mid");
  RollModel model;
  model.LoadFile(path);
  EXPECT_FALSE(model.has_notes());
  EXPECT_NE(model.reason().find("MIDI"), std::string::npos) << model.reason();
  EXPECT_EQ(model.reason().find('\n'), std::string::npos);
  model.LoadFile(dir.File("missing.mid"));
  EXPECT_FALSE(model.reason().empty());
}

}  // namespace
}  // namespace tessavar
