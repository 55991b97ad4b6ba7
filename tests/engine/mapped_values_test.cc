#include "engine/mapped_values.h"

#include <gtest/gtest.h>

namespace tessavar {
namespace {

using enum MappedParameter;

struct ReadCase {
  double value;
  int index;         // for a parameter without a switch
  int switch_index;  // for a switch box (9 = as drawn)
  bool flag;
};

TEST(MappedValuesTest, BoxNumbersBecomeIndexesAndSwitches) {
  // CInt(value - 1) rounds halves to even and is kept inside 0..27; a
  // switch box at 0 or below turns its flag off and keeps the drawn index.
  const ReadCase cases[] = {{1, 0, 0, 1},    {13, 12, 12, 1}, {28, 27, 27, 1},
                            {30, 27, 27, 1}, {0.4, 0, 0, 1},  {2.5, 2, 2, 1},
                            {3.5, 2, 2, 1},  {0, 0, 9, 0},    {-3, 0, 9, 0}};
  for (const ReadCase& c : cases) {
    OptionFlags flags;
    flags.rhythm = !c.flag;
    FeatureChoices choices;
    choices.m.values.fill(9);
    MappedArray<double> values;
    values.values.fill(c.value);
    ApplyBoxValues(values, flags, choices);
    EXPECT_EQ(choices.m[kNotePitch], c.index) << c.value;
    EXPECT_EQ(choices.m[kRhythm], c.switch_index) << c.value;
    EXPECT_EQ(flags.rhythm, c.flag) << c.value;
  }
}

TEST(MappedValuesTest, SwitchFlagsBelongToTheirBoxes) {
  OptionFlags flags;
  EXPECT_EQ(SwitchFlag(flags, kPeriodRepeat), &flags.repeat);
  EXPECT_EQ(SwitchFlag(flags, kGlissando), &flags.glissando);
  EXPECT_EQ(SwitchFlag(flags, kPointillism), &flags.pointillism);
  EXPECT_EQ(SwitchFlag(flags, kRhythm), &flags.rhythm);
  EXPECT_EQ(SwitchFlag(flags, kPhraseMirror), &flags.mirror);
  EXPECT_EQ(SwitchFlag(flags, kDynamics), &flags.dynamics);
  EXPECT_EQ(SwitchFlag(flags, kCompression), &flags.compression);
  for (MappedParameter p :
       {kActiveVoices, kPeriodLength, kPhraseLength, kCurrentKey, kNotePitch,
        kNoteDuration, kRhythmTrack}) {
    EXPECT_EQ(SwitchFlag(flags, p), nullptr) << MappedIndex(p);
  }
}

// What "Auto" shows, read back, gives the drawn choices again, for every
// index and both states of every switch.
TEST(MappedValuesTest, ShownValuesReadBackAsDrawn) {
  for (int index = 0; index < kFeatureCount; ++index) {
    for (int on = 0; on <= 1; ++on) {
      OptionFlags flags;
      flags.repeat = flags.glissando = flags.pointillism = flags.rhythm = on;
      flags.mirror = flags.dynamics = flags.compression = on;
      FeatureChoices choices;
      choices.m.values.fill(index);
      MappedBoxValues shown = BoxValuesFromChoices(flags, choices);
      EXPECT_EQ(shown[kNotePitch], index + 1);
      EXPECT_EQ(shown[kCompression], on ? index + 1 : 0);
      OptionFlags read_flags = flags;
      FeatureChoices read_choices = choices;
      ApplyBoxValues(ReadBackBoxValues(shown), read_flags, read_choices);
      EXPECT_EQ(read_choices.m, choices.m) << index << " " << on;
      EXPECT_EQ(read_flags.compression, on);
      EXPECT_EQ(read_flags.repeat, on);
    }
  }
}

}  // namespace
}  // namespace tessavar
