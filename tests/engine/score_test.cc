#include "engine/score.h"

#include <gtest/gtest.h>

#include <stdexcept>

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
