#include "engine/score.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>
#include <stdexcept>
#include <vector>

#include "engine/engine_state.h"

namespace tessavar {
namespace {

TEST(ScoreTest, UsedLengthOfAnErasedStoreIsZero) {
  Score score;
  EXPECT_EQ(score.UsedLength(), 0);
  score.At(3, 40) = {60, 100, 4};
  score.Clear();
  EXPECT_EQ(score.UsedLength(), 0);
  EXPECT_EQ(score.SlotCount(3), 0);
  EXPECT_EQ(score.Get(3, 40).duration, 0);
}

TEST(ScoreTest, OneEventInSlotZeroOfTrackFiveGivesOne) {
  Score score;
  score.At(5, 0) = {60, 100, 2};
  EXPECT_EQ(score.UsedLength(), 1);
}

TEST(ScoreTest, UsedLengthCountsOnlySlotsWithAPositiveDuration) {
  Score score;
  score.At(0, 2) = {60, 100, 2};
  score.At(1, 9) = {60, 0, 0};   // written but empty
  score.At(2, 7) = {60, 0, -4};  // not an event either
  EXPECT_EQ(score.UsedLength(), 3);
  EXPECT_EQ(score.SlotCount(1), 10);
}

TEST(ScoreTest, UsedLengthIsTheHighestEventOverAllTracks) {
  Score score;
  score.At(15, 4) = {60, 100, 2};
  score.At(0, 11) = {60, 100, 2};
  score.At(7, 6) = {60, 100, 2};
  EXPECT_EQ(score.UsedLength(), 12);
  // An earlier track holding the maximum must not hide a later one.
  score.At(9, 30) = {60, 100, 2};
  EXPECT_EQ(score.UsedLength(), 31);
}

TEST(ScoreTest, GrowsBeyondTheClassicSlotLimit) {
  Score score;
  score.At(2, 20000) = {72, 90, 8};
  EXPECT_EQ(score.UsedLength(), 20001);
  EXPECT_EQ(score.SlotCount(2), 20001);
  EXPECT_EQ(score.Get(2, 20000).pitch, 72);
  // Growing keeps what was written before.
  score.At(2, 5) = {60, 80, 4};
  score.At(2, 40000) = {61, 80, 4};
  EXPECT_EQ(score.Get(2, 5).velocity, 80);
  EXPECT_EQ(score.Get(2, 20000).duration, 8);
  EXPECT_EQ(score.UsedLength(), 40001);
}

TEST(ScoreTest, ReadingOutsideTheStoreGivesAnEmptySlot) {
  Score score;
  score.At(0, 0) = {60, 100, 2};
  EXPECT_EQ(score.Get(0, 1).duration, 0);
  EXPECT_EQ(score.Get(-1, 0).duration, 0);
  EXPECT_EQ(score.Get(16, 0).duration, 0);
  EXPECT_EQ(score.Get(0, -1).duration, 0);
  EXPECT_EQ(score.SlotCount(16), 0);
  EXPECT_THROW(score.At(16, 0), std::out_of_range);
  EXPECT_THROW(score.At(0, -1), std::out_of_range);
}

TEST(ScoreTest, WritingOverRunsAndGapsKeepsWhatWasStored) {
  Score score;
  score.At(0, 10) = {60, 100, 2};
  for (ScoreEvent& e : score.Slots(0, 20, 3)) e = {62, 90, 4};
  score.At(0, 40) = {64, 80, 6};

  // One stretch from slot 5 to 34 over two runs and three gaps.
  std::span<ScoreEvent> stretch = score.Slots(0, 5, 30);
  ASSERT_EQ(stretch.size(), 30u);
  EXPECT_EQ(stretch[10 - 5].pitch, 60);
  EXPECT_EQ(stretch[21 - 5].velocity, 90);
  EXPECT_EQ(stretch[0].duration, 0);
  stretch[29] = {66, 70, 8};
  EXPECT_EQ(score.Get(0, 34).pitch, 66);
  EXPECT_EQ(score.Get(0, 40).duration, 6);
  EXPECT_EQ(score.SlotCount(0), 41);
  EXPECT_EQ(score.EventCount(0), 6);
  EXPECT_EQ(score.UsedLength(), 41);
}

// The same writes on a plain array of slots must read back the same.
TEST(ScoreTest, AgreesWithAPlainArrayOfSlots) {
  std::mt19937 random(5);
  for (int round = 0; round < 20; ++round) {
    Score score;
    std::vector<std::vector<ScoreEvent>> plain(kTrackCount);
    for (int op = 0; op < 300; ++op) {
      const int track = static_cast<int>(random() % 3);
      std::vector<ScoreEvent>& slots = plain[track];
      // Mostly the composer's way, after the end; sometimes anywhere.
      const int end = static_cast<int>(slots.size());
      const int first = random() % 4 != 0
                            ? end + static_cast<int>(random() % 5)
                            : static_cast<int>(random() % (end + 10));
      const int count = 1 + static_cast<int>(random() % 40);
      if (random() % 50 == 0) {
        score.Clear();
        for (auto& p : plain) p.clear();
        continue;
      }
      std::span<ScoreEvent> written = score.Slots(track, first, count);
      ASSERT_EQ(written.size(), static_cast<size_t>(count));
      if (slots.size() < static_cast<size_t>(first + count)) {
        slots.resize(first + count);
      }
      for (int i = 0; i < count; ++i) {
        // Some slots stay empty, as padding does.
        const int d = static_cast<int>(random() % 4) * 2;
        const ScoreEvent e{op % 128, i % 100, d};
        written[i] = e;
        slots[first + i] = e;
      }
    }
    int used = 0;
    for (int t = 0; t < kTrackCount; ++t) {
      const std::vector<ScoreEvent>& slots = plain[t];
      ASSERT_EQ(score.SlotCount(t), static_cast<int>(slots.size()));
      int events = 0;
      for (int s = 0; s < static_cast<int>(slots.size()) + 3; ++s) {
        const ScoreEvent want =
            s < static_cast<int>(slots.size()) ? slots[s] : ScoreEvent{};
        const ScoreEvent got = score.Get(t, s);
        ASSERT_EQ(got.pitch, want.pitch) << t << " " << s;
        ASSERT_EQ(got.velocity, want.velocity) << t << " " << s;
        ASSERT_EQ(got.duration, want.duration) << t << " " << s;
        if (want.duration > 0) {
          ++events;
          used = std::max(used, s + 1);
        }
      }
      EXPECT_EQ(score.EventCount(t), events);
      // The runs come in slot order, do not overlap and hold every event.
      int next = 0;
      int in_runs = 0;
      for (int r = 0; r < score.RunCount(t); ++r) {
        const Score::Run run = score.RunAt(t, r);
        ASSERT_GE(run.first, next);
        next = run.first + static_cast<int>(run.events.size());
        for (const ScoreEvent& e : run.events) in_runs += e.duration > 0;
      }
      EXPECT_EQ(in_runs, events);
    }
    EXPECT_EQ(score.UsedLength(), used);
  }
}

TEST(EngineStateTest, ClearScoreErasesScoreAndTrackNames) {
  EngineState engine;
  engine.score.At(1, 3) = {60, 100, 2};
  engine.track_name[0] = "Track 1";
  engine.track_name[16] = "x";
  engine.ClearScore();
  EXPECT_EQ(engine.score.UsedLength(), 0);
  for (const auto& name : engine.track_name) EXPECT_EQ(name, "");
}

}  // namespace
}  // namespace tessavar
