#include "engine/composer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/phrase_voices.h"
#include "engine/scale_tables.h"
#include "engine/text_number.h"
#include "support/composer_fixtures.h"

namespace tessavar {
namespace {

using testing::CallbackHost;
using testing::ElapsedTime;
using testing::MakePanel;
using testing::PanelSetup;

constexpr int kSwitchBoxes[] = {2, 7, 8, 9, 10, 12, 13};

struct Composition {
  int result = 0;
  EngineState engine;
  PanelModel panel;
  int yields = 0;
};

Composition Compose(const PanelSetup& setup) {
  Composition c;
  c.panel = MakePanel(setup);
  CallbackHost host(nullptr);
  c.result = CompileScore(c.panel, c.engine, host);
  c.yields = host.yields;
  return c;
}

bool SameScore(const Score& a, const Score& b) {
  for (int t = 0; t < kTrackCount; ++t) {
    int slots = std::max(a.SlotCount(t), b.SlotCount(t));
    for (int s = 0; s < slots; ++s) {
      ScoreEvent x = a.Get(t, s);
      ScoreEvent y = b.Get(t, s);
      if (x.pitch != y.pitch || x.velocity != y.velocity ||
          x.duration != y.duration) {
        return false;
      }
    }
  }
  return true;
}

std::vector<std::string> MappedTexts(const PanelModel& panel) {
  std::vector<std::string> texts;
  for (int i = 0; i < kMappedCount; ++i) {
    texts.push_back(panel.Text({Box::kMapped, i}));
  }
  return texts;
}

TEST(NormalizeStructureTest, LettersBecomeTheirCodeModTen) {
  EXPECT_EQ(NormalizeStructure("A1"), "51");
  EXPECT_EQ(NormalizeStructure("09 z"), "0922");  // blank 32, z 122
  EXPECT_EQ(NormalizeStructure("\xC3\xA9"
                               "1"),
            "31");  // U+00E9 (233) is one character
}

TEST(PowerOfTwoTest, LargestPowerNotAbove) {
  EXPECT_EQ(LargestPowerOfTwoNotAbove(16), 16);
  EXPECT_EQ(LargestPowerOfTwoNotAbove(10), 8);
  EXPECT_EQ(LargestPowerOfTwoNotAbove(3), 2);
  EXPECT_EQ(LargestPowerOfTwoNotAbove(1), 1);
  EXPECT_EQ(LargestPowerOfTwoNotAbove(15), 8);
}

TEST(ComposerTest, LettersComposeAsTheirDigits) {
  PanelSetup letters;
  letters.structure = "A1B2C";
  PanelSetup digits;
  digits.structure = "51627";
  Composition a = Compose(letters);
  Composition b = Compose(digits);
  ASSERT_EQ(a.result, 1);
  ASSERT_EQ(b.result, 1);
  EXPECT_TRUE(SameScore(a.engine.score, b.engine.score));
  EXPECT_EQ(a.panel.Text({Box::kStructure}), "A1B2C");  // box unchanged
}

TEST(ComposerTest, SamePanelGivesSameScoreAndStateIsNotCarriedOver) {
  PanelSetup setup;
  setup.structure = "31415926535";
  setup.mapping = "1234";
  Composition a = Compose(setup);
  // A second composition in the same engine after a different one.
  Composition b;
  b.panel = MakePanel(setup);
  CallbackHost host(nullptr);
  PanelSetup other;
  other.mapping = "77";
  PanelModel other_panel = MakePanel(other);
  ASSERT_EQ(CompileScore(other_panel, b.engine, host), 1);
  ASSERT_EQ(CompileScore(b.panel, b.engine, host), 1);
  ASSERT_EQ(a.result, 1);
  EXPECT_TRUE(SameScore(a.engine.score, b.engine.score));
  EXPECT_GT(a.engine.score.UsedLength(), 0);
}

TEST(ComposerTest, KeyDrawDoesNotShiftTheCompositionDraws) {
  for (const char* mapping : {"1", "500", "32767", "4242"}) {
    std::vector<std::vector<std::string>> boxes;
    std::vector<std::vector<int16_t>> tables;
    for (int tonality = 0; tonality < 8; ++tonality) {
      PanelSetup setup;
      setup.mapping = mapping;
      setup.variation = "7";
      setup.tonality = tonality;
      Composition c = Compose(setup);
      ASSERT_EQ(c.result, 1);
      boxes.push_back(MappedTexts(c.panel));
      tables.push_back(c.engine.voice_choice_table);
    }
    for (int tonality = 1; tonality < 8; ++tonality) {
      EXPECT_EQ(boxes[tonality], boxes[0]) << mapping << " " << tonality;
      EXPECT_EQ(tables[tonality], tables[0]) << mapping << " " << tonality;
    }
  }
}

TEST(ComposerTest, KeyFromTonality) {
  for (double seed : {1.0, 99.0, 32767.0}) {
    for (int tonality = 0; tonality < 8; ++tonality) {
      RandomStream random;
      random.RestartRandom(-seed);
      RandomStream before = random;
      int key = KeyForTonality(tonality, random);
      if (tonality == 0) {
        EXPECT_TRUE(key >= -12 && key <= -1) << key;
      } else if (tonality == 1) {
        EXPECT_TRUE(key >= 0 && key <= 11) << key;
      } else if (tonality == 2) {
        EXPECT_TRUE(key >= 12 && key <= 23) << key;
      } else {
        EXPECT_EQ(key, 0);
        EXPECT_EQ(random.state(), before.state());  // nothing drawn
      }
    }
  }
  // Major and minor draw the same tonic.
  RandomStream a, b;
  a.RestartRandom(-5);
  b.RestartRandom(-5);
  EXPECT_EQ(KeyForTonality(1, a) + 12, KeyForTonality(2, b));
}

TEST(ComposerTest, ThreeTracksNamesAndEmptyTracks) {
  PanelSetup setup;
  setup.tracks = "3";
  Composition c = Compose(setup);
  ASSERT_EQ(c.result, 1);
  EXPECT_EQ(c.engine.track_name[0], "Track 1");
  EXPECT_EQ(c.engine.track_name[1], "Track 2");
  EXPECT_EQ(c.engine.track_name[2], "Track 3");
  for (int t = 3; t <= 16; ++t) EXPECT_EQ(c.engine.track_name[t], "") << t;
  for (int t = 0; t < 3; ++t) {
    EXPECT_GT(c.engine.score.SlotCount(t), 0);
    EXPECT_EQ(c.engine.track_instrument[t], t);
  }
  for (int t = 3; t < 16; ++t) {
    for (int s = 0; s < c.engine.score.SlotCount(t); ++s) {
      ScoreEvent e = c.engine.score.Get(t, s);
      EXPECT_EQ(e.pitch | e.velocity | e.duration, 0) << t << " " << s;
    }
  }
}

TEST(ComposerTest, RestsSitAtTheOctaveBaseWithVelocityZero) {
  PanelSetup setup;
  setup.octave = "50";
  setup.tracks = "8";
  Composition c = Compose(setup);
  ASSERT_EQ(c.result, 1);
  int rests = 0;
  for (int t = 0; t < 8; ++t) {
    for (int s = 0; s < c.engine.score.SlotCount(t); ++s) {
      ScoreEvent e = c.engine.score.Get(t, s);
      if (e.duration == 0) continue;
      if (e.velocity == 0) {
        ++rests;
        EXPECT_EQ(e.pitch, 50) << t << " " << s;
      } else {
        EXPECT_GE(e.pitch, 50);
        EXPECT_LT(e.pitch, 50 + 24);
      }
    }
  }
  EXPECT_GT(rests, 0);
}

// A transposition far beyond int: the sum saturates (every note then plays
// as key 0 in the writer) instead of overflowing.
TEST(ComposerTest, HugeTranspositionsSaturate) {
  for (const char* octave : {"99999999999", "-99999999999"}) {
    PanelSetup setup;
    setup.octave = octave;
    setup.tracks = "2";
    Composition c = Compose(setup);
    ASSERT_EQ(c.result, 1);
    const int bound = octave[0] == '-' ? std::numeric_limits<int>::min()
                                       : std::numeric_limits<int>::max();
    for (int s = 0; s < c.engine.score.SlotCount(0); ++s) {
      ScoreEvent e = c.engine.score.Get(0, s);
      if (e.duration == 0) continue;
      EXPECT_EQ(e.pitch, bound) << octave << " " << s;
    }
  }
}

TEST(ComposerTest, VariationZeroAndTenSwitchBoxes) {
  for (const char* mapping : {"1", "2", "3", "321", "32767"}) {
    PanelSetup zero;
    zero.mapping = mapping;
    zero.variation = "0";
    Composition c = Compose(zero);
    ASSERT_EQ(c.result, 1);
    for (int k : kSwitchBoxes) {
      EXPECT_EQ(c.panel.Text({Box::kMapped, k}), "0") << mapping << " " << k;
    }
    PanelSetup ten = zero;
    ten.variation = "10";
    Composition d = Compose(ten);
    ASSERT_EQ(d.result, 1);
    for (int k : {2, 9, 10, 12, 13}) {
      EXPECT_NE(d.panel.Text({Box::kMapped, k}), "0") << mapping << " " << k;
    }
    // The coupling may switch off one of glissando and pointillism.
    EXPECT_FALSE(d.panel.Text({Box::kMapped, 7}) == "0" &&
                 d.panel.Text({Box::kMapped, 8}) == "0");
  }
}

TEST(ComposerTest, AutoWritesBoxesInRangeAndStaysOn) {
  PanelSetup setup;
  setup.mapping = "2024";
  Composition c = Compose(setup);
  ASSERT_EQ(c.result, 1);
  EXPECT_EQ(c.panel.CheckValue({Check::kMappedAuto}), 1);
  EXPECT_FALSE(c.panel.IsSpinnerEnabled({Box::kMapped, 0}));
  EXPECT_EQ(c.panel.status_text(), "composing...");
  for (int i = 0; i < kMappedCount; ++i) {
    SpinnerRange range = PanelModel::Range({Box::kMapped, i});
    double v = NumericValue(c.panel.Text({Box::kMapped, i}));
    EXPECT_GE(v, range.low) << i;
    EXPECT_LE(v, range.high) << i;
    EXPECT_EQ(c.panel.Spinner({Box::kMapped, i}), v) << i;
  }
  // With "Auto" off the boxes as they stand compose the same piece.
  PanelSetup manual = setup;
  manual.automatic = false;
  for (int i = 0; i < kMappedCount; ++i) {
    manual.mapped[i] = c.panel.Text({Box::kMapped, i});
  }
  Composition d = Compose(manual);
  ASSERT_EQ(d.result, 1);
  EXPECT_TRUE(SameScore(c.engine.score, d.engine.score));
}

TEST(ComposerTest, NoSelectionAndGreyedChecksComposeAsDefaults) {
  PanelSetup setup;
  setup.mapping = "808";
  setup.tie = 1;
  Composition a = Compose(setup);
  Composition b;
  setup.tie = 2;
  b.panel = MakePanel(setup);
  b.panel.EnableLeftControls();
  for (List list :
       {List::kTonality, List::kSmoothing, List::kMeter, List::kFade}) {
    b.panel.Select({list}, -1);
  }
  b.panel.SetCheck({Check::kMappedAuto}, 2);
  b.panel.DisableLeftControls();
  CallbackHost host(nullptr);
  ASSERT_EQ(CompileScore(b.panel, b.engine, host), 1);
  ASSERT_EQ(a.result, 1);
  EXPECT_TRUE(SameScore(a.engine.score, b.engine.score));
  EXPECT_EQ(MappedTexts(a.panel), MappedTexts(b.panel));
}

// Variation 0 and "Auto" off: only the boxes switch treatments on.
PanelSetup ManualSetup(std::string structure) {
  PanelSetup setup;
  setup.structure = std::move(structure);
  setup.variation = "0";
  setup.automatic = false;
  return setup;
}

TEST(ComposerTest, RepeatsAndPasses) {
  // Period length from f0 = digit / 9: the digits 9, 0, 9 give 3, 1 and 3
  // phrases. With repeats (f0 > 0.5 gives four passes, else two), every
  // pass halves the phrases: 2 + 2 + 2 + 2, then 1 + 1, then 2 + 2 + 2 + 2.
  PanelSetup setup = ManualSetup("909");
  setup.mapped[1] = "1";
  setup.mapped[2] = "0";
  Composition plain = Compose(setup);
  ASSERT_EQ(plain.result, 1);
  // One yield for the status caption, two at the set-up, one per phrase.
  EXPECT_EQ(plain.yields - 3, 3 + 1 + 3);

  setup.mapped[2] = "1";
  Composition repeated = Compose(setup);
  ASSERT_EQ(repeated.result, 1);
  EXPECT_EQ(repeated.yields - 3, 8 + 2 + 8);
}

TEST(ComposerTest, OneTrackPlaysTheThemeWithRepeatsMerged) {
  for (const char* mapping : {"5", "17", "30000"}) {
    PanelSetup setup = ManualSetup("1122334455");
    setup.mapping = mapping;
    setup.tracks = "1";
    EngineState engine;
    PanelModel panel = MakePanel(setup);
    std::set<int> phrase_starts;
    CallbackHost host([&] { phrase_starts.insert(engine.score.UsedLength()); });
    ASSERT_EQ(CompileScore(panel, engine, host), 1);
    const Score& score = engine.score;
    int notes = 0;
    for (int s = 1; s < score.SlotCount(0); ++s) {
      ScoreEvent a = score.Get(0, s - 1);
      ScoreEvent b = score.Get(0, s);
      ASSERT_GT(b.duration, 0);
      if (b.velocity > 0) ++notes;
      if (phrase_starts.count(s) == 0 && a.velocity > 0 && b.velocity > 0 &&
          a.pitch == b.pitch) {
        // Only a merge that would pass 96 half units keeps them apart.
        EXPECT_GT(a.duration + b.duration, 96) << mapping << " " << s;
      }
    }
    EXPECT_GT(notes, 0);
    for (int t = 1; t < 16; ++t) EXPECT_EQ(score.SlotCount(t), 0);
  }
}

TEST(ComposerTest, FirstPhraseHasOneSoundingTrackAndSilentTracksKeepTime) {
  PanelSetup setup = ManualSetup("7312468");
  setup.tracks = "5";
  EngineState engine;
  PanelModel panel = MakePanel(setup);
  int first_phrase_end = -1;
  CallbackHost host([&] {
    if (first_phrase_end < 0 && engine.score.UsedLength() > 0) {
      first_phrase_end = engine.score.UsedLength();
    }
  });
  ASSERT_EQ(CompileScore(panel, engine, host), 1);
  ASSERT_GT(first_phrase_end, 0);
  int sounding = 0;
  long length = ElapsedTime(engine.score, 0, first_phrase_end);
  for (int t = 0; t < 5; ++t) {
    bool any = false;
    for (int s = 0; s < first_phrase_end; ++s) {
      ScoreEvent e = engine.score.Get(t, s);
      if (e.duration > 0 && e.velocity > 0) any = true;
    }
    if (any) ++sounding;
    EXPECT_EQ(ElapsedTime(engine.score, t, first_phrase_end), length) << t;
  }
  EXPECT_EQ(sounding, 1);
}

TEST(ComposerTest, RhythmTrackPastTheLastTrackPlaysNothing) {
  // One phrase per period (period length from f4, which is d(0) / 9 = 0)
  // and the rhythm track from f5 = 1 - d(0) / 9 = 1: index = tracks.
  PanelSetup setup = ManualSetup("0123456");
  setup.tracks = "4";
  setup.mapped[1] = "5";
  setup.mapped[11] = "6";
  setup.mapped[9] = "0";
  Composition off = Compose(setup);
  setup.mapped[9] = "3";
  Composition on = Compose(setup);
  ASSERT_EQ(off.result, 1);
  ASSERT_EQ(on.result, 1);
  EXPECT_TRUE(SameScore(off.engine.score, on.engine.score));
  // Rhythm track from f4 = 0: track 0 plays the pulse voice.
  setup.mapped[11] = "5";
  Composition track0 = Compose(setup);
  setup.mapped[9] = "0";
  Composition track0_off = Compose(setup);
  EXPECT_FALSE(SameScore(track0.engine.score, track0_off.engine.score));
}

TEST(ComposerTest, StopRequestEndsAfterTheCurrentPhrase) {
  PanelSetup setup;
  EngineState engine;
  PanelModel panel = MakePanel(setup);
  std::vector<int> lengths;
  // The fourth yield follows the first phrase; stop after the second.
  CallbackHost stopping([&] {
    lengths.push_back(engine.score.UsedLength());
    if (lengths.size() == 5) engine.stop_requested = 1;
  });
  EXPECT_EQ(CompileScore(panel, engine, stopping), -1);
  ASSERT_EQ(lengths.size(), 5u);
  EXPECT_LT(lengths[3], lengths[4]);
  EXPECT_EQ(engine.score.UsedLength(), lengths[4]);
  // Not finished: no track names, no octave bases.
  EXPECT_EQ(engine.track_name[0], "");
  for (int t = 0; t < 6; ++t) {
    for (int s = 0; s < engine.score.SlotCount(t); ++s) {
      EXPECT_LT(engine.score.Get(t, s).pitch, 24);
    }
  }
}

TEST(ComposerTest, RefusedArguments) {
  PanelSetup setup;
  EngineState engine;
  PanelModel panel = MakePanel(setup);
  CallbackHost host(nullptr);
  EXPECT_EQ(ComposeScore(panel, engine, host, 0, "123", 0, 3), 0);
  EXPECT_EQ(ComposeScore(panel, engine, host, 5, "", 0, 3), 0);
  EXPECT_EQ(ComposeScore(panel, engine, host, 5, "123", 0, 17), 0);
  EXPECT_EQ(engine.score.UsedLength(), 0);
  panel.EnableLeftControls();
  panel.SetText({Box::kStructure}, "");
  panel.DisableLeftControls();
  EXPECT_EQ(CompileScore(panel, engine, host), -1);
}

// Runs a composition and reports whether the used tracks had played the
// same time at every phrase start.
bool ComposeAligned(const PanelSetup& setup) {
  const int tracks = std::stoi(setup.tracks);
  EngineState engine;
  PanelModel panel = MakePanel(setup);
  bool aligned = true;
  int checked_up_to = 0;
  std::vector<long> elapsed(tracks, 0);
  CallbackHost host([&] {
    int used = engine.score.UsedLength();
    for (int t = 0; t < tracks; ++t) {
      for (int s = checked_up_to; s < used; ++s) {
        elapsed[t] += engine.score.Get(t, s).duration;
      }
      if (elapsed[t] != elapsed[0]) aligned = false;
    }
    checked_up_to = used;
  });
  EXPECT_EQ(CompileScore(panel, engine, host), 1);
  EXPECT_GT(engine.score.UsedLength(), 0);
  return aligned;
}

// Mapping 14023 derives the seed 0 for the voices of period 0 (14020: of
// period 3), so voice 1 and voice 2 are empty there; the tracks that play
// them keep time with rests.
TEST(ComposerTest, EmptyDerivedVoicesKeepTime) {
  for (const char* mapping : {"14023", "14020"}) {
    for (const char* tracks : {"16", "7"}) {
      PanelSetup setup;
      setup.mapping = mapping;
      setup.tracks = tracks;
      setup.variation = "10";
      EXPECT_TRUE(ComposeAligned(setup)) << mapping << " " << tracks;
    }
  }
}

// Random panels over every option: at every phrase start the used tracks
// have played the same time, and the finished score ends aligned too.
TEST(ComposerTest, TracksStayAlignedAtEveryPhrase) {
  std::mt19937 gen(20240611);
  auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(gen);
  };
  for (int run = 0; run < 300; ++run) {
    PanelSetup setup;
    int n = pick(3, 16);
    setup.structure.clear();
    for (int i = 0; i < n; ++i) setup.structure += char('0' + pick(0, 9));
    setup.mapping = std::to_string(pick(1, 32767));
    setup.variation = std::to_string(pick(0, 10));
    setup.tracks = std::to_string(pick(1, 16));
    setup.tonality = pick(0, 7);
    setup.smoothing = pick(0, 3);
    setup.meter = pick(0, 2);
    setup.fade = pick(0, 3);
    setup.tie = pick(0, 3) == 0 ? 1 : 0;
    setup.automatic = pick(0, 2) != 0;
    if (!setup.automatic) {
      for (int i = 0; i < kMappedCount; ++i) {
        setup.mapped[i] = std::to_string(pick(0, 30));
      }
    }
    EXPECT_TRUE(ComposeAligned(setup))
        << "run " << run << " structure " << setup.structure << " mapping "
        << setup.mapping;
  }
}

TEST(ScaleTablesTest, PentatonicSnapping) {
  ScaleTables pentatonic(3, "");
  VoiceString voice({1, 6, 8, 11, 0, 127, 13}, {2, 2, 2, 2, 2, 2, 2});
  VoiceString snapped = pentatonic.Snap(voice);
  EXPECT_EQ(snapped.pitches, (std::vector<int>{2, 7, 9, 12, 0, 127, 14}));
  EXPECT_EQ(snapped.durations, voice.durations);
}

TEST(ScaleTablesTest, TablesAndLiteralMembership) {
  ScaleTables major(1, "");
  EXPECT_EQ(major.scale_table(), " 0 2 4 5 7 9111214161719");
  EXPECT_EQ(major.PitchField(6), 11);
  EXPECT_EQ(major.PitchField(11), 19);
  EXPECT_EQ(major.PitchField(12), 0);  // past the end
  EXPECT_TRUE(major.InScaleList(12));
  EXPECT_FALSE(major.InScaleList(1));
  EXPECT_FALSE(major.InScaleList(-2));

  ScaleTables whole_tone(6, "");
  EXPECT_EQ(whole_tone.scale_table(), " 0 1 2 3 4 5 6 7 8 91011");
  // Odd classes move up by one.
  EXPECT_EQ(whole_tone.Snap(VoiceString({3, 11}, {2, 2})).pitches,
            (std::vector<int>{4, 12}));

  // A two-digit first field of a user scale is never found; an odd last
  // character is dropped.
  ScaleTables user(7, "10 4 7 9");
  EXPECT_EQ(user.scale_list(), "10  4  7  9 ");
  EXPECT_FALSE(user.InScaleList(10));
  EXPECT_TRUE(user.InScaleList(4));
  // Class 0: 1 and -1 are missing, 2 and -2 too, ... 4 is found going up.
  EXPECT_EQ(user.Snap(VoiceString({12}, {2})).pitches, (std::vector<int>{16}));
}

TEST(PhraseVoicesTest, PulseVoiceCutsNotesIntoTwos) {
  // Duration 6 gives three notes; with the drop, the note after an even
  // count is a rest. A rest's class is 7; the counter runs over the voice.
  VoiceString mixed({14, 127, 3}, {6, 4, 2});
  EXPECT_EQ(PulseVoice(mixed, true),
            VoiceString({2, 2, 127, 7, 127, 3}, {2, 2, 2, 2, 2, 2}));
  EXPECT_EQ(PulseVoice(mixed, false),
            VoiceString({2, 2, 2, 7, 7, 3}, {2, 2, 2, 2, 2, 2}));
}

TEST(PhraseVoicesTest, RestMasksAndFolding) {
  const VoiceString voice({1, 2, 3, 4}, {2, 4, 6, 8});
  for (double feature : {0.0, 1.0}) {
    VoiceString masked = voice;
    ApplyRestMask(masked, feature);
    EXPECT_EQ(masked.pitches, std::vector<int>(4, kRestCode)) << feature;
    EXPECT_EQ(masked.durations, voice.durations);
  }
  VoiceString half = voice;
  ApplyRestMask(half, 0.5);
  EXPECT_EQ(half, voice);
  VoiceString tail = voice;
  ApplyRestMask(tail, 0.75);  // x = 0.5: the last two notes
  EXPECT_EQ(tail.pitches, (std::vector<int>{1, 2, kRestCode, kRestCode}));
  VoiceString head = voice;
  ApplyRestMask(head, 0.25);  // x = -0.5: the first two notes
  EXPECT_EQ(head.pitches, (std::vector<int>{kRestCode, kRestCode, 3, 4}));

  VoiceString high({12, 20, 127, 11}, {2, 2, 2, 2});
  FoldIntoOctave(high);
  EXPECT_EQ(high.pitches, (std::vector<int>{0, 8, 127, 11}));
}

TEST(PhraseVoicesTest, LongNotesSplitOnce) {
  VoiceString voice({5, 6, 7}, {20, 7, 8});
  EXPECT_EQ(SplitLongNotes(voice, 8),
            VoiceString({5, 5, 6, 7, 7}, {10, 10, 7, 4, 4}));
}

}  // namespace
}  // namespace tessavar
