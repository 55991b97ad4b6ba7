#include "engine/counter_voice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "engine/voice_string_printer.h"

namespace tessavar {
namespace {

constexpr int kIntervals[] = {0, 3, 4, 5, 7, 8, 9};
const std::set<int> kMajor = {0, 2, 4, 5, 7, 9, 11};
const std::set<int> kMinor = {0, 2, 3, 5, 7, 8, 10};

VoiceString Voice(std::vector<int> pitches, std::vector<int> durations) {
  return VoiceString(std::move(pitches), std::move(durations));
}

RandomStream ReseededStream(int seed) {
  RandomStream stream;
  stream.RestartRandom(-(seed % 32767));
  stream.MixRandom(-(seed % 32767));
  return stream;
}

int DrawIndex(RandomStream& stream, int count) {
  return static_cast<int>(std::floor(stream.NextRandom() * count));
}

// A candidate above pitch class c whose class lies in the allowed set
// (every class when the set is empty), drawing again until one does.
int DrawCandidate(RandomStream& stream, int c, const std::set<int>& allowed) {
  while (true) {
    const int w = c + kIntervals[DrawIndex(stream, 7)];
    if (allowed.empty() || allowed.count(w % 12)) return w;
  }
}

TEST(GenerateCounterVoiceTest, SeedZeroOrEmptyMelodyDoesNothing) {
  RandomStream random;
  const uint32_t before = random.state();
  EXPECT_TRUE(GenerateCounterVoice(random, 0, 0, {}, Voice({1}, {2})).empty());
  EXPECT_TRUE(GenerateCounterVoice(random, 5, 0, {}, {}).empty());
  EXPECT_EQ(random.state(), before);
}

TEST(GenerateCounterVoiceTest, MelodyAsReferenceTakesLowestOfSevenCandidates) {
  // With the melody as reference the initial reference pitch is still drawn
  // (one draw over the scale) and each note is its lowest candidate.
  const VoiceString melody =
      Voice({1, 13, 25, 1, 13, 1, 37, 1}, {2, 4, 6, 8, 10, 12, 14, 16});
  for (int seed : {1, 500, 32766}) {
    SCOPED_TRACE(seed);
    RandomStream replay = ReseededStream(seed);
    DrawIndex(replay, 7);
    std::vector<int> expected;
    for (size_t i = 0; i < melody.size(); ++i) {
      int lowest = 127;
      for (int t = 0; t < 7; ++t) {
        lowest = std::min(lowest, DrawCandidate(replay, 1, {4, 5, 9}));
      }
      expected.push_back(lowest);
    }
    RandomStream random;
    const VoiceString counter =
        GenerateCounterVoice(random, seed, 0, melody, melody);
    EXPECT_EQ(counter.pitches, expected);
    EXPECT_EQ(counter.durations, melody.durations);
    EXPECT_EQ(random.state(), replay.state());
  }
}

// Key -1 without reference: every candidate is taken at its first draw;
// each note is the candidate nearest to the previous one (ties keep the
// earlier), the first one nearest to a random pitch class.
std::vector<int> NearestCandidates(RandomStream replay,
                                   const VoiceString& melody) {
  int ref = DrawIndex(replay, 12);
  std::vector<int> expected;
  for (int code : melody.pitches) {
    int best = 127;
    for (int t = 0; t < 3; ++t) {
      const int w = DrawCandidate(replay, code % 12, {});
      if (std::abs(w - ref) < std::abs(best - ref)) best = w;
    }
    expected.push_back(best);
    ref = best;
  }
  return expected;
}

TEST(GenerateCounterVoiceTest, NoReferenceFollowsThePreviousNoteWithoutKey) {
  const VoiceString melody =
      Voice({11, 23, 11, 6, 11, 0, 11, 23, 11, 11}, std::vector<int>(10, 4));
  for (int seed : {3, 17, 2024}) {
    SCOPED_TRACE(seed);
    RandomStream random;
    EXPECT_EQ(GenerateCounterVoice(random, seed, -1, {}, melody).pitches,
              NearestCandidates(ReseededStream(seed), melody));
  }
  // A seed of 32767 restarts from 0, which leaves the stream as it is and
  // mixes in +0.
  RandomStream random;
  random.set_state(0xABCDEF);
  RandomStream replay = random;
  replay.MixRandom(0.0);
  EXPECT_EQ(GenerateCounterVoice(random, 32767, -1, {}, melody).pitches,
            NearestCandidates(replay, melody));
}

TEST(GenerateCounterVoiceTest, CodesAreNotFoldedIntoOneOctave) {
  // Class 11 plus a ninth is 20; some seed must reach it.
  const VoiceString melody(std::vector<int>(12, 23), std::vector<int>(12, 2));
  bool reached_twenty = false;
  for (int seed = 1; seed <= 400 && !reached_twenty; ++seed) {
    RandomStream random;
    const VoiceString counter =
        GenerateCounterVoice(random, seed, -1, {}, melody);
    for (int code : counter.pitches) {
      ASSERT_GE(code, 11);
      ASSERT_LE(code, 20);
      reached_twenty = reached_twenty || code == 20;
    }
  }
  EXPECT_TRUE(reached_twenty);
}

TEST(GenerateCounterVoiceTest, NotesStayInTheScaleAlsoOverRests) {
  const VoiceString melody =
      Voice({0, 127, 3, 6, 127, 10, 11, 8, 1}, std::vector<int>(9, 2));
  for (int key : {0, 4, 12, 19, 26}) {
    SCOPED_TRACE(key);
    const std::set<int>& scale = key % 24 >= 12 ? kMinor : kMajor;
    for (int seed : {9, 10, 11}) {
      RandomStream random;
      const VoiceString counter =
          GenerateCounterVoice(random, seed, key, {}, melody);
      ASSERT_EQ(counter.size(), melody.size());
      for (size_t i = 0; i < counter.size(); ++i) {
        const int code = counter.pitches[i];
        EXPECT_NE(code, 127);
        EXPECT_TRUE(scale.count(code % 12)) << code;
        if (melody.pitches[i] != 127) {
          const int interval = code - melody.pitches[i] % 12;
          EXPECT_TRUE(std::count(std::begin(kIntervals), std::end(kIntervals),
                                 interval))
              << code;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tessavar
