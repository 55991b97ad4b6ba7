#include "engine/triad_voice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/voice_string_printer.h"

namespace tessavar {
namespace {

// The completion tables, typed in again by hand: row = melody pitch class,
// column = counter pitch class.
constexpr int kMajor[12][12] = {
    {0, 0, 0, 0, 7, 9, 0, 4, 0, 5, 0, 0},
    {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
    {0, 1, 2, 2, 4, 2, 2, 11, 2, 2, 2, 7},
    {0, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3},
    {7, 1, 4, 3, 4, 4, 4, 0, 4, 4, 4, 4},
    {9, 1, 2, 3, 4, 5, 5, 7, 5, 0, 5, 5},
    {0, 1, 2, 3, 4, 5, 6, 6, 6, 6, 6, 6},
    {4, 1, 11, 3, 0, 7, 6, 7, 7, 7, 7, 2},
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 8, 8, 8},
    {5, 1, 2, 3, 4, 0, 6, 7, 8, 9, 9, 9},
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10},
    {0, 1, 7, 3, 4, 5, 6, 2, 8, 9, 10, 11},
};
constexpr int kMinor[12][12] = {
    {0, 0, 0, 7, 0, 8, 0, 3, 5, 0, 0, 0},
    {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
    {0, 1, 2, 3, 2, 2, 2, 7, 2, 2, 2, 2},
    {7, 1, 3, 3, 3, 3, 3, 0, 11, 3, 3, 8},
    {0, 1, 2, 3, 4, 4, 4, 4, 4, 4, 4, 4},
    {8, 1, 2, 3, 4, 5, 5, 7, 0, 5, 5, 5},
    {0, 1, 2, 3, 4, 5, 6, 6, 6, 6, 6, 6},
    {3, 1, 7, 0, 4, 7, 6, 7, 7, 7, 7, 7},
    {5, 1, 2, 11, 4, 0, 6, 7, 8, 8, 8, 3},
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9},
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10},
    {0, 1, 2, 3, 4, 5, 6, 7, 3, 9, 10, 11},
};

VoiceString Voice(std::vector<int> pitches, std::vector<int> durations) {
  return VoiceString(std::move(pitches), std::move(durations));
}

// All 144 pairs in one voice, the melody an octave or two up.
void ExpectTable(int key, const int (&table)[12][12]) {
  VoiceString melody, counter;
  for (int a = 0; a < 12; ++a) {
    for (int b = 0; b < 12; ++b) {
      melody.Append(a + 12 * (b % 3), 2 + 2 * a);
      counter.Append(b + 12 * (a % 2), 4);
    }
  }
  RandomStream random;
  const VoiceString result = CompleteTriadVoice(random, key, melody, counter);
  ASSERT_EQ(result.size(), 144u);
  EXPECT_EQ(result.durations, melody.durations);
  for (int a = 0; a < 12; ++a) {
    for (int b = 0; b < 12; ++b) {
      EXPECT_EQ(result.pitches[12 * a + b], table[a][b])
          << "key " << key << " a " << a << " b " << b;
    }
  }
}

TEST(CompleteTriadVoiceTest, EveryEntryOfBothTables) {
  ExpectTable(0, kMajor);
  ExpectTable(7, kMajor);
  ExpectTable(12, kMinor);
  ExpectTable(23, kMinor);
  ExpectTable(24, kMajor);
}

TEST(CompleteTriadVoiceTest, CompletesTriadsAndRestsTakeTheOtherVoice) {
  RandomStream random;
  EXPECT_EQ(CompleteTriadVoice(random, 0, Voice({12}, {4}), Voice({16}, {4})),
            Voice({7}, {4}));
  EXPECT_EQ(CompleteTriadVoice(random, 12, Voice({0}, {6}), Voice({3}, {2})),
            Voice({7}, {6}));
  // A melody rest takes the counter's class: entry (b, b) = b.
  EXPECT_EQ(CompleteTriadVoice(random, 0, Voice({127, 127}, {2, 8}),
                               Voice({17, 10}, {2, 8})),
            Voice({5, 10}, {2, 8}));
}

TEST(CompleteTriadVoiceTest, NoKeyAlternatesTablesFromAFixedRestart) {
  // The pair (0, 4) gives 7 in major and 0 in minor.
  const int n = 40;
  VoiceString melody, counter;
  for (int i = 0; i < n; ++i) {
    melody.Append(0, 2);
    counter.Append(4, 2);
  }
  RandomStream replay;
  replay.RestartRandom(-1);
  replay.MixRandom(-1);
  std::vector<int> expected;
  for (int i = 0; i < n; ++i)
    expected.push_back(replay.NextRandom() < 0.5 ? 0 : 7);

  RandomStream random;
  random.RestartRandom(-555);
  const VoiceString first = CompleteTriadVoice(random, -1, melody, counter);
  EXPECT_EQ(first.pitches, expected);
  EXPECT_EQ(random.state(), replay.state());
  random.NextRandom();
  EXPECT_EQ(CompleteTriadVoice(random, -3, melody, counter), first);
  EXPECT_NE(std::count(expected.begin(), expected.end(), 0), 0);
  EXPECT_NE(std::count(expected.begin(), expected.end(), 7), 0);
}

TEST(CompleteTriadVoiceTest, EmptyOrUnequalVoicesGiveNothing) {
  RandomStream random;
  const uint32_t before = random.state();
  EXPECT_TRUE(
      CompleteTriadVoice(random, 0, Voice({1, 2}, {2, 2}), Voice({1}, {2}))
          .empty());
  EXPECT_TRUE(
      CompleteTriadVoice(random, 0, VoiceString(), VoiceString()).empty());
  EXPECT_TRUE(
      CompleteTriadVoice(random, 0, Voice({1}, {2}), VoiceString()).empty());
  EXPECT_EQ(random.state(), before);
}

}  // namespace
}  // namespace tessavar
