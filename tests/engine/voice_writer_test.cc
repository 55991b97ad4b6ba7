#include "engine/voice_writer.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/voice_string_printer.h"

namespace tessavar {
namespace {

VoiceString Voice(std::vector<int> pitches, std::vector<int> durations) {
  return VoiceString(std::move(pitches), std::move(durations));
}

std::vector<int> Velocities(const EngineState& state, int track, int start,
                            int count) {
  std::vector<int> v;
  for (int i = 0; i < count; ++i) {
    v.push_back(state.score.Get(track, start + i).velocity);
  }
  return v;
}

// One note per call, so that the fades (all 1 here) see r = 1/2.
int VelocityOf(int duration, double accent, int volume) {
  EngineState state;
  WriteVoiceToScore(state, Voice({5}, {duration}), 0, 0, 0, accent, volume);
  return state.score.Get(0, 0).velocity;
}

TEST(WriteVoiceToScoreTest, AccentShapesVelocityByDuration) {
  EXPECT_EQ(VelocityOf(16, 0.0, 100), 100);
  EXPECT_EQ(VelocityOf(2, 0.0, 100), 49);
  EXPECT_EQ(VelocityOf(30, 0.0, 100), 100);
  EXPECT_EQ(VelocityOf(16, 1.0, 100), 49);
  EXPECT_EQ(VelocityOf(2, 1.0, 100), 100);
  EXPECT_EQ(VelocityOf(0, 1.0, 100), 100);
  for (int d : {2, 9, 40}) EXPECT_EQ(VelocityOf(d, -1.0, 100), 75);
  // No shaping at 0.5: 74.5 rounds to the even 74.
  EXPECT_EQ(VelocityOf(2, 0.5, 100), 74);
  EXPECT_EQ(VelocityOf(40, 0.5, 100), 74);
}

TEST(WriteVoiceToScoreTest, FadesScaleAlongThePhrase) {
  const VoiceString voice = Voice({1, 2, 3}, {4, 4, 4});
  EngineState state;
  state.fade_in_start = 0.0;
  state.fade_in_end = 1.0;
  // 75 times 0.25, 0.5 and 0.75: 18.75, 37.5 and 56.25.
  WriteVoiceToScore(state, voice, 0, 0, 0, -1.0, 100);
  EXPECT_EQ(Velocities(state, 0, 0, 3), (std::vector<int>{19, 38, 56}));

  state.fade_in_start = state.fade_in_end = 1.0;
  state.fade_out_start = 1.0;
  state.fade_out_end = 0.0;
  WriteVoiceToScore(state, voice, 0, 1, 0, -1.0, 100);
  EXPECT_EQ(Velocities(state, 1, 0, 3), (std::vector<int>{56, 38, 19}));

  // Halves round to even: 49 times 0.5 is 24.5.
  state.fade_out_start = state.fade_out_end = 1.0;
  state.fade_in_start = 0.0;
  WriteVoiceToScore(state, Voice({1}, {2}), 0, 2, 0, 0.0, 100);
  EXPECT_EQ(state.score.Get(2, 0).velocity, 24);
}

TEST(WriteVoiceToScoreTest, FadeArithmeticIsSinglePrecision) {
  // Velocity 95 (volume 127 without accent) faded in over 9 notes: at the
  // third note 0.3f * 95 is just above 28.5 in single precision (double
  // precision would give 28). Expected values worked out separately in
  // single precision.
  EngineState state;
  state.fade_in_start = 0.0;
  WriteVoiceToScore(state,
                    VoiceString(std::vector<int>(9, 4), std::vector<int>(9, 2)),
                    0, 0, 0, -1.0, 127);
  EXPECT_EQ(Velocities(state, 0, 0, 9),
            (std::vector<int>{10, 19, 29, 38, 48, 57, 66, 76, 86}));
}

TEST(WriteVoiceToScoreTest, FoldsPitchesAndKeepsHalfUnitDurations) {
  EngineState state;
  state.score.At(3, 4) = {99, 99, 99};
  state.score.At(3, 10) = {99, 99, 99};
  WriteVoiceToScore(state, Voice({30, 47, 48, 127, 10}, {2, 4, 6, 7, 3}), 0, 3,
                    5, -1.0, 100);
  const int pitches[] = {18, 23, 12, 0, 10};
  const int durations[] = {2, 4, 6, 7, 3};
  for (int i = 0; i < 5; ++i) {
    const ScoreEvent e = state.score.Get(3, 5 + i);
    EXPECT_EQ(e.pitch, pitches[i]) << i;
    EXPECT_EQ(e.duration, durations[i]) << i;
    EXPECT_EQ(e.velocity, i == 3 ? 0 : 75) << i;
  }
  EXPECT_EQ(state.score.Get(3, 4).pitch, 99);
  EXPECT_EQ(state.score.Get(3, 10).pitch, 99);

  WriteVoiceToScore(state, Voice({10, 127}, {2, 2}), 14, 0, 0, -1.0, 100);
  EXPECT_EQ(state.score.Get(0, 0).pitch, 12);
  WriteVoiceToScore(state, Voice({10}, {2}), 7, 0, 0, -1.0, 100);
  EXPECT_EQ(state.score.Get(0, 0).pitch, 17);
}

TEST(WriteVoiceToScoreTest, WritesNothingForEmptyVoiceOrNegativePlaces) {
  EngineState state;
  WriteVoiceToScore(state, VoiceString(), 0, 0, 0, -1.0, 100);
  WriteVoiceToScore(state, Voice({1}, {2}), 0, -1, 0, -1.0, 100);
  WriteVoiceToScore(state, Voice({1}, {2}), 0, 0, -1, -1.0, 100);
  for (int t = 0; t < kTrackCount; ++t) EXPECT_EQ(state.score.SlotCount(t), 0);
}

TEST(TransposeVoiceTest, RaisesByTranspositionModTwelveKeepingRests) {
  EXPECT_EQ(TransposeVoice(Voice({0, 127, 20}, {2, 3, 4}), 14),
            Voice({2, 127, 22}, {2, 3, 4}));
  EXPECT_EQ(TransposeVoice(Voice({5, 126}, {2, 2}), 24),
            Voice({5, 126}, {2, 2}));
  EXPECT_EQ(TransposeVoice(Voice({10}, {8}), 7), Voice({17}, {8}));
  EXPECT_TRUE(TransposeVoice(VoiceString(), 3).empty());
}

}  // namespace
}  // namespace tessavar
