#include "engine/contour_voice_bank.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "engine/contour_voices.h"
#include "engine/engine_state.h"
#include "engine/voice_string_printer.h"

namespace tessavar {
namespace {

const VoiceString kMelody({0, 4, 7, 12, 9, 5, 2, 11, 7, 4, 0, 3},
                          {2, 4, 2, 4, 6, 2, 2, 4, 8, 2, 4, 6});

void FillChoiceTable(EngineState& state, int seed) {
  RandomStream stream;
  stream.RestartRandom(-seed);
  for (auto& entry : state.voice_choice_table) {
    entry = static_cast<int16_t>(std::floor(stream.NextRandom() * 3));
  }
}

// The bank of a state that read every voice at once.
std::vector<VoiceString> ReadAll(const ContourVoiceBank& bank) {
  std::vector<VoiceString> voices;
  for (size_t i = 0; i < bank.size(); ++i) voices.push_back(bank[i]);
  return voices;
}

TEST(ContourVoiceBankTest, VoicesReadLaterAreThoseOfTheTableAtGeneration) {
  EngineState eager;
  FillChoiceTable(eager, 3);
  ASSERT_EQ(GenerateContourVoices(eager, 2024, kMelody, 5), 1);
  const std::vector<VoiceString> expected = ReadAll(eager.candidate_voices);

  EngineState lazy;
  FillChoiceTable(lazy, 3);
  ASSERT_EQ(GenerateContourVoices(lazy, 2024, kMelody, 5), 1);
  const ContourVoiceBank copy = lazy.candidate_voices;
  // A new table for the next composition must not reach voices of this
  // one, neither in the bank nor in a copy of it.
  FillChoiceTable(lazy, 4);
  EXPECT_EQ(ReadAll(lazy.candidate_voices), expected);
  EXPECT_EQ(ReadAll(copy), expected);
  EXPECT_EQ(copy, eager.candidate_voices);

  // The same melody with the new table gives other voices.
  ASSERT_EQ(GenerateContourVoices(lazy, 2024, kMelody, 5), 1);
  EXPECT_NE(ReadAll(lazy.candidate_voices), expected);
  EXPECT_EQ(lazy.candidate_voices[0], kMelody);
  EXPECT_TRUE(lazy.candidate_voices[23].empty());
}

TEST(ContourVoiceBankTest, ReadingVoicesDrawsNothing) {
  EngineState state;
  FillChoiceTable(state, 9);
  ASSERT_EQ(GenerateContourVoices(state, 77, kMelody, -1), 1);
  const uint32_t after_generation = state.random.state();
  ReadAll(state.candidate_voices);
  EXPECT_EQ(state.random.state(), after_generation);

  // A writable entry is the searched voice, and stays as written.
  EngineState other;
  FillChoiceTable(other, 9);
  GenerateContourVoices(other, 77, kMelody, -1);
  VoiceString& entry = other.candidate_voices[7];
  EXPECT_EQ(entry, state.candidate_voices[7]);
  entry = VoiceString({1}, {2});
  EXPECT_EQ(other.candidate_voices[7], VoiceString({1}, {2}));
}

TEST(ContourVoiceBankTest, AnEntryOutsideZeroToTwoIsRefusedAtGeneration) {
  EngineState state;
  FillChoiceTable(state, 1);
  // The search reads the table from entry 0 on.
  state.voice_choice_table[5] = 3;
  EXPECT_THROW(GenerateContourVoices(state, 11, kMelody, 0), std::out_of_range);
  EXPECT_EQ(state.candidate_voices[0], kMelody);
  for (size_t i = 1; i < state.candidate_voices.size(); ++i) {
    EXPECT_TRUE(state.candidate_voices[i].empty()) << i;
  }

  // An entry beyond what 22 patterns of 100 trials read is never looked at:
  // 12 notes read entries 0 .. 22 * 100 * 12 - 1.
  FillChoiceTable(state, 1);
  state.voice_choice_table[22 * 100 * 12] = -1;
  EXPECT_EQ(GenerateContourVoices(state, 11, kMelody, 0), 1);
  state.voice_choice_table[22 * 100 * 12 - 1] = -1;
  EXPECT_THROW(GenerateContourVoices(state, 11, kMelody, 0), std::out_of_range);
}

TEST(ContourVoiceBankTest, ClearEmptiesEveryEntry) {
  EngineState state;
  FillChoiceTable(state, 2);
  GenerateContourVoices(state, 5, kMelody, 12);
  state.candidate_voices.Clear();
  for (size_t i = 0; i < state.candidate_voices.size(); ++i) {
    EXPECT_TRUE(state.candidate_voices[i].empty()) << i;
  }
  EXPECT_THROW(state.candidate_voices[25], std::out_of_range);
}

}  // namespace
}  // namespace tessavar
