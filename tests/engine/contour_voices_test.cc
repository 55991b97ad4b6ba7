#include "engine/contour_voices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "engine/contour_search.h"
#include "engine/voice_string_printer.h"

namespace tessavar {
namespace {

VoiceString Voice(std::vector<int> pitches, std::vector<int> durations) {
  return VoiceString(std::move(pitches), std::move(durations));
}

const std::set<int> kMajor = {0, 2, 4, 5, 7, 9, 11};
const std::set<int> kMinor = {0, 2, 3, 5, 7, 8, 10};
const std::set<int> kConsonant = {3, 4, 5, 7, 8, 9};

bool IsConsonant(int a, int b) { return kConsonant.count(std::abs(a - b)); }

// Patterns whose first step asks for a rising line, read off the pattern
// table by hand.
const std::set<int> kRisingFirst = {0, 2, 3, 7, 8, 9, 12, 13, 14, 20, 21};

// A choice table filled the way the composer fills it: Int(r * 3).
void FillChoiceTable(EngineState& state, int seed) {
  RandomStream stream;
  stream.RestartRandom(-seed);
  for (auto& entry : state.voice_choice_table) {
    entry = static_cast<int16_t>(std::floor(stream.NextRandom() * 3));
  }
}

RandomStream ReseededStream(int seed) {
  RandomStream stream;
  stream.RestartRandom(-(seed % 32767));
  stream.MixRandom(-(seed % 32767));
  return stream;
}

TEST(SnapVoiceToKeyTest, MovesOffScaleClassesDownInMajorAndMinor) {
  EXPECT_EQ(SnapVoiceToKey(Voice({18, 25, 127}, {2, 4, 6}), 3),
            Voice({17, 24, 127}, {2, 4, 6}));
  EXPECT_EQ(SnapVoiceToKey(Voice({16, 23}, {8, 8}), 14),
            Voice({15, 22}, {8, 8}));

  for (int pc = 0; pc < 12; ++pc) {
    const int code = 24 + pc;
    const int major = kMajor.count(pc) ? code : code - 1;
    const int minor = kMinor.count(pc) ? code : code - 1;
    SCOPED_TRACE(pc);
    EXPECT_EQ(SnapVoiceToKey(Voice({code}, {2}), 0).pitches[0], major);
    EXPECT_EQ(SnapVoiceToKey(Voice({code}, {2}), 26).pitches[0], major);
    EXPECT_EQ(SnapVoiceToKey(Voice({code}, {2}), 12).pitches[0], minor);
    EXPECT_EQ(SnapVoiceToKey(Voice({code}, {2}), 23).pitches[0], minor);
    EXPECT_EQ(SnapVoiceToKey(Voice({code}, {2}), -1).pitches[0], code);
  }
  EXPECT_TRUE(SnapVoiceToKey(VoiceString(), 0).empty());
}

TEST(GenerateContourVoicesTest, RefusesSeedZeroAndEmptyMelody) {
  EngineState state;
  state.candidate_voices[5] = Voice({1}, {2});
  const uint32_t before = state.random.state();
  EXPECT_EQ(GenerateContourVoices(state, 0, Voice({1, 2}, {2, 2}), 0), 0);
  EXPECT_EQ(GenerateContourVoices(state, 7, VoiceString(), 0), 0);
  EXPECT_EQ(state.random.state(), before);
  EXPECT_EQ(state.candidate_voices[5], Voice({1}, {2}));
}

TEST(GenerateContourVoicesTest, OneNoteMelodyTakesEachPatternsFirstTrial) {
  // Pattern p's first trial reads entry 100 p, which names column p mod 3:
  // the melody, the first or the second harmony pitch.
  EngineState state;
  std::fill(state.voice_choice_table.begin(), state.voice_choice_table.end(),
            1);
  for (int p = 0; p < 22; ++p) state.voice_choice_table[100 * p] = p % 3;
  const VoiceString melody = Voice({9}, {6});
  for (int seed : {321, 4000, 17, 29999}) {
    SCOPED_TRACE(seed);
    state.candidate_voices[24] = melody;
    ASSERT_EQ(GenerateContourVoices(state, seed, melody, -1), 1);

    // Chromatic draws until a pitch is consonant with the melody; the
    // second one must also sound well with the first.
    RandomStream replay = ReseededStream(seed);
    int first = -1;
    do {
      first = static_cast<int>(std::floor(replay.NextRandom() * 12));
    } while (!IsConsonant(first, 9));
    int second = -1;
    do {
      second = static_cast<int>(std::floor(replay.NextRandom() * 12));
    } while (!IsConsonant(second, 9) ||
             !(second == first || IsConsonant(second, first)));

    const int column_pitch[] = {9, first, second};
    EXPECT_EQ(state.candidate_voices[0], melody);
    for (int p = 0; p < 22; ++p) {
      SCOPED_TRACE(p);
      EXPECT_EQ(state.candidate_voices[p + 1],
                Voice({column_pitch[p % 3]}, {6}));
    }
    EXPECT_TRUE(state.candidate_voices[23].empty());
    EXPECT_TRUE(state.candidate_voices[24].empty());
  }
}

TEST(GenerateContourVoicesTest, PatternWithoutAcceptableTrialGivesZeros) {
  // Every trial takes the melody (14, 2), a falling step: patterns that
  // open with "+" never reach a score of 0 and keep their zeros, the others
  // take the melody at once.
  EngineState state;
  std::fill(state.voice_choice_table.begin(), state.voice_choice_table.end(),
            0);
  const VoiceString melody = Voice({14, 2}, {4, 6});
  ASSERT_EQ(GenerateContourVoices(state, 99, melody, -1), 1);
  for (int p = 0; p < 22; ++p) {
    SCOPED_TRACE(p);
    EXPECT_EQ(state.candidate_voices[p + 1],
              kRisingFirst.count(p) ? Voice({0, 0}, {4, 6}) : melody);
  }

  // Now the first trial of every pattern (entries 200 p and 200 p + 1, the
  // cursor moving by two notes per trial) takes the second note's harmony
  // pitch, which lies below 14: falling patterns take it at once.
  for (int p = 0; p < 22; ++p) state.voice_choice_table[200 * p + 1] = 1;
  ASSERT_EQ(GenerateContourVoices(state, 99, melody, -1), 1);
  const int harmony = state.candidate_voices[2].pitches[1];
  EXPECT_TRUE(IsConsonant(harmony, 2));
  EXPECT_LT(harmony, 14);
  for (int p = 0; p < 22; ++p) {
    SCOPED_TRACE(p);
    EXPECT_EQ(state.candidate_voices[p + 1],
              kRisingFirst.count(p) ? Voice({0, 0}, {4, 6})
                                    : Voice({14, harmony}, {4, 6}));
  }
}

TEST(GenerateContourVoicesTest, VoicesUseTheKeysScaleAndConsonances) {
  const VoiceString melody =
      Voice({0, 4, 7, 13, 19, 2, 11, 6, 17}, {2, 4, 6, 8, 2, 4, 6, 8, 10});
  for (int key : {-1, 0, 5, 12, 17}) {
    SCOPED_TRACE(key);
    EngineState state;
    FillChoiceTable(state, 8);
    ASSERT_EQ(GenerateContourVoices(state, 4242, melody, key), 1);
    for (int p = 1; p <= 22; ++p) {
      const VoiceString& v = state.candidate_voices[p];
      ASSERT_EQ(v.durations, melody.durations);
      for (size_t k = 0; k < v.size(); ++k) {
        const int pitch = v.pitches[k];
        const int src = melody.pitches[k];
        if (key >= 0) {
          const std::set<int>& scale = key >= 12 ? kMinor : kMajor;
          EXPECT_TRUE(scale.count(pitch % 12)) << pitch;
        }
        const int snapped = SnapVoiceToKey(Voice({src}, {2}), key).pitches[0];
        EXPECT_TRUE(pitch == snapped || (pitch < 12 && IsConsonant(pitch, src)))
            << "voice " << p << " note " << k << " pitch " << pitch;
      }
    }
  }
}

TEST(GenerateContourVoicesTest, NoQualifyingHarmonyMeansMelodyPitchNoDraw) {
  // In minor nothing lies a consonance away from 20 or above, nor from the
  // rest code; the search makes no draw and offers the melody pitch itself.
  EngineState state;
  std::fill(state.voice_choice_table.begin(), state.voice_choice_table.end(),
            2);
  const int pitches[] = {20, 30, 127};
  const int snapped[] = {20, 29, 127};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(GenerateContourVoices(state, 77, Voice({pitches[i]}, {2}), 12),
              1);
    EXPECT_EQ(state.random.state(), ReseededStream(77).state());
    for (int p = 1; p <= 22; ++p) {
      EXPECT_EQ(state.candidate_voices[p], Voice({snapped[i]}, {2}));
    }
  }

  // In major only 11 is consonant with 20, so both harmony pitches are 11.
  ASSERT_EQ(GenerateContourVoices(state, 77, Voice({20}, {4}), 0), 1);
  EXPECT_NE(state.random.state(), ReseededStream(77).state());
  for (int p = 1; p <= 22; ++p) {
    EXPECT_EQ(state.candidate_voices[p], Voice({11}, {4}));
  }
}

TEST(GenerateContourVoicesTest, SameSeedSameVoicesOtherSeedOtherVoices) {
  const VoiceString melody =
      Voice({0, 2, 4, 5, 7, 9, 11, 12}, {4, 4, 4, 4, 4, 4, 4, 8});
  auto run = [&](int seed, uint32_t stream_state) {
    EngineState state;
    FillChoiceTable(state, 31);
    state.random.set_state(stream_state);
    GenerateContourVoices(state, seed, melody, 0);
    return state.candidate_voices;
  };
  const auto first = run(1234, 1);
  EXPECT_EQ(run(1234, 999), first);
  EXPECT_EQ(run(-1234, 5), first);
  EXPECT_NE(run(1235, 1), first);
}

}  // namespace
}  // namespace tessavar
