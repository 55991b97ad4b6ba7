#include "engine/voice_transforms.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/voice_string_printer.h"

namespace tessavar {
namespace {

VoiceString Voice(std::vector<int> pitches, std::vector<int> durations) {
  return VoiceString(std::move(pitches), std::move(durations));
}

TEST(AddPassingNotesTest, SplitsLongLeapingNotes) {
  EXPECT_EQ(AddPassingNotes(Voice({10, 14}, {8, 4})),
            Voice({10, 12, 14}, {4, 4, 4}));
  EXPECT_EQ(AddPassingNotes(Voice({10, 11}, {8, 4})), Voice({10, 11}, {8, 4}));
  EXPECT_EQ(AddPassingNotes(Voice({10, 20}, {2, 4})), Voice({10, 20}, {2, 4}));
  EXPECT_EQ(AddPassingNotes(Voice({10, 20}, {3, 4})), Voice({10, 20}, {3, 4}));
  EXPECT_EQ(AddPassingNotes(Voice({10, 20}, {4, 4})),
            Voice({10, 15, 20}, {2, 2, 4}));
  EXPECT_EQ(AddPassingNotes(Voice({20, 10}, {5, 4})),
            Voice({20, 15, 10}, {3, 2, 4}));
  // A note before a rest takes the rest code into the average.
  EXPECT_EQ(AddPassingNotes(Voice({10, 127}, {8, 2})),
            Voice({10, 68, 127}, {4, 4, 2}));
  // Rests themselves are not split.
  EXPECT_EQ(AddPassingNotes(Voice({127, 10}, {8, 2})),
            Voice({127, 10}, {8, 2}));
  EXPECT_EQ(AddPassingNotes(Voice({3}, {16})), Voice({3}, {16}));
  EXPECT_TRUE(AddPassingNotes(VoiceString()).empty());
}

TEST(MergeRepeatedNotesTest, TiesEqualPitchesUpToTheLimit) {
  EXPECT_EQ(MergeRepeatedNotes(Voice({12, 12, 12}, {4, 4, 8})),
            Voice({12}, {16}));
  EXPECT_EQ(MergeRepeatedNotes(Voice({12, 12}, {64, 40})),
            Voice({12, 12}, {64, 40}));
  EXPECT_EQ(MergeRepeatedNotes(Voice({12, 12}, {56, 40})), Voice({12}, {96}));
  EXPECT_EQ(MergeRepeatedNotes(Voice({12, 14, 12}, {2, 2, 2})),
            Voice({12, 14, 12}, {2, 2, 2}));
  // The note that would pass the limit starts a new run.
  const VoiceString merged = MergeRepeatedNotes(
      Voice({12, 12, 12, 12, 127, 127}, {40, 40, 40, 8, 2, 6}));
  EXPECT_EQ(merged, Voice({12, 12, 127}, {80, 48, 8}));
  EXPECT_EQ(MergeRepeatedNotes(merged), merged);
  EXPECT_TRUE(MergeRepeatedNotes(VoiceString()).empty());
}

TEST(DetachAndSilenceTest, KeepTheRhythm) {
  EXPECT_EQ(DetachNotes(Voice({12}, {8})), Voice({12, 127}, {6, 2}));
  EXPECT_EQ(DetachNotes(Voice({12, 127, 5}, {2, 6, 3})),
            Voice({12, 127, 127, 5, 127}, {2, 4, 2, 1, 2}));
  EXPECT_TRUE(DetachNotes(VoiceString()).empty());
  EXPECT_EQ(SilenceVoice(Voice({1, 127, 30}, {2, 5, 200})),
            Voice({127, 127, 127}, {2, 5, 200}));
  EXPECT_TRUE(SilenceVoice(VoiceString()).empty());
}

TEST(SplitMelodyVoicesTest, EachNoteSoundsInExactlyOneVoice) {
  const VoiceString melody =
      Voice({0, 4, 7, 127, 12, 9, 5, 2, 11, 3}, {2, 4, 6, 8, 2, 4, 6, 8, 2, 4});
  const VoiceString rests = SilenceVoice(melody);

  EngineState state;
  state.random.set_state(12345);
  RandomStream replay = state.random;
  SplitMelodyVoices(state, melody, 0.0);
  EXPECT_EQ(state.split_voice1, melody);
  EXPECT_EQ(state.split_voice2, rests);
  EXPECT_EQ(state.split_voice3, rests);
  for (size_t i = 0; i < melody.size(); ++i) replay.NextRandom();
  EXPECT_EQ(state.random.state(), replay.state());

  SplitMelodyVoices(state, melody, 1.0);
  EXPECT_EQ(state.split_voice1, rests);
  for (size_t i = 0; i < melody.size(); ++i) {
    const int p = melody.pitches[i];
    if (p == 127) continue;
    EXPECT_NE(state.split_voice2.pitches[i] == p,
              state.split_voice3.pitches[i] == p)
        << i;
  }

  // Half and half: a first draw below 0.5 moves the note, a second one
  // below 0.5 sends it to the second voice, otherwise to the third.
  replay = state.random;
  SplitMelodyVoices(state, melody, 0.5);
  for (size_t i = 0; i < melody.size(); ++i) {
    int target = 1;
    if (replay.NextRandom() < 0.5) target = replay.NextRandom() < 0.5 ? 2 : 3;
    const int p = melody.pitches[i];
    EXPECT_EQ(state.split_voice1.pitches[i], target == 1 ? p : 127) << i;
    EXPECT_EQ(state.split_voice2.pitches[i], target == 2 ? p : 127) << i;
    EXPECT_EQ(state.split_voice3.pitches[i], target == 3 ? p : 127) << i;
  }
  EXPECT_EQ(state.split_voice2.durations, melody.durations);
  EXPECT_EQ(state.random.state(), replay.state());

  SplitMelodyVoices(state, VoiceString(), 0.5);
  EXPECT_TRUE(state.split_voice1.empty());
  EXPECT_TRUE(state.split_voice2.empty());
  EXPECT_TRUE(state.split_voice3.empty());
}

}  // namespace
}  // namespace tessavar
