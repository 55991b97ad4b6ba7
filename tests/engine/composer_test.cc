#include "engine/composer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/phrase_voices.h"
#include "engine/scale_tables.h"
#include "engine/text_number.h"
#include "support/compose_request_fixtures.h"

namespace tessavar {
namespace {

using testing::DefaultRequest;
using testing::ElapsedTime;
using testing::RecordingComposeHook;
using enum MappedParameter;

constexpr MappedParameter kSwitchParameters[] = {
    kPeriodRepeat, kGlissando, kPointillism, kRhythm,
    kPhraseMirror, kDynamics,  kCompression};

struct Composition {
  ComposeResult result;
  EngineState engine;
  RecordingComposeHook hook;
};

std::unique_ptr<Composition> Compose(const ComposeRequest& request) {
  auto c = std::make_unique<Composition>();
  c->result = ComposeAndFinishScore(request, c->engine, c->hook);
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

void SetOctaveBase(ComposeRequest& request, double base) {
  for (TrackRow& row : request.track_rows) row.octave_base = base;
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
  ComposeRequest letters = DefaultRequest();
  letters.structure = "A1B2C";
  ComposeRequest digits = DefaultRequest();
  digits.structure = "51627";
  auto a = Compose(letters);
  auto b = Compose(digits);
  ASSERT_TRUE(a->result.composed);
  ASSERT_TRUE(b->result.composed);
  EXPECT_TRUE(SameScore(a->engine.score, b->engine.score));
}

TEST(ComposerTest, SameRequestGivesSameScoreAndStateIsNotCarriedOver) {
  ComposeRequest request = DefaultRequest();
  request.structure = "31415926535";
  request.mapping = 1234;
  auto a = Compose(request);
  // A second composition in the same engine after a different one.
  EngineState engine;
  RecordingComposeHook hook;
  ComposeRequest other = DefaultRequest();
  other.mapping = 77;
  ASSERT_TRUE(ComposeAndFinishScore(other, engine, hook).composed);
  ASSERT_TRUE(ComposeAndFinishScore(request, engine, hook).composed);
  ASSERT_TRUE(a->result.composed);
  EXPECT_TRUE(SameScore(a->engine.score, engine.score));
  EXPECT_GT(a->engine.score.UsedLength(), 0);
}

TEST(ComposerTest, KeyDrawDoesNotShiftTheCompositionDraws) {
  for (double mapping : {1, 500, 32767, 4242}) {
    std::vector<MappedBoxValues> drawn;
    std::vector<std::vector<int16_t>> tables;
    for (int tonality = 0; tonality < 8; ++tonality) {
      ComposeRequest request = DefaultRequest();
      request.mapping = mapping;
      request.variation = 7;
      request.tonality = tonality;
      auto c = Compose(request);
      ASSERT_TRUE(c->result.composed);
      ASSERT_TRUE(c->result.drawn.has_value());
      drawn.push_back(*c->result.drawn);
      tables.push_back(c->engine.voice_choice_table);
    }
    for (int tonality = 1; tonality < 8; ++tonality) {
      EXPECT_EQ(drawn[tonality], drawn[0]) << mapping << " " << tonality;
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
  ComposeRequest request = DefaultRequest();
  request.tracks = 3;
  request.track_rows[2].instrument = -1;  // no selection plays program 0
  auto c = Compose(request);
  ASSERT_TRUE(c->result.composed);
  const EngineState& engine = c->engine;
  EXPECT_EQ(engine.track_name[0], "Track 1");
  EXPECT_EQ(engine.track_name[1], "Track 2");
  EXPECT_EQ(engine.track_name[2], "Track 3");
  for (int t = 3; t <= kTrackCount; ++t) EXPECT_EQ(engine.track_name[t], "");
  for (int t = 0; t < 3; ++t) EXPECT_GT(engine.score.SlotCount(t), 0);
  EXPECT_EQ(engine.track_instrument[0], 0);
  EXPECT_EQ(engine.track_instrument[1], 1);
  EXPECT_EQ(engine.track_instrument[2], 0);
  for (int t = 3; t < kTrackCount; ++t) {
    for (int s = 0; s < engine.score.SlotCount(t); ++s) {
      ScoreEvent e = engine.score.Get(t, s);
      EXPECT_EQ(e.pitch | e.velocity | e.duration, 0) << t << " " << s;
    }
  }
}

TEST(ComposerTest, RestsSitAtTheOctaveBaseWithVelocityZero) {
  ComposeRequest request = DefaultRequest();
  SetOctaveBase(request, 49.6);  // rounded to 50
  request.tracks = 8;
  auto c = Compose(request);
  ASSERT_TRUE(c->result.composed);
  const Score& score = c->engine.score;
  int rests = 0;
  for (int t = 0; t < 8; ++t) {
    for (int s = 0; s < score.SlotCount(t); ++s) {
      ScoreEvent e = score.Get(t, s);
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

// A transposition far beyond int, up to the ends of int64 where the octave
// base itself saturates: the sum saturates (every note then plays as key 0
// in the writer) instead of overflowing.
TEST(ComposerTest, HugeTranspositionsSaturate) {
  for (double octave : {99999999999.0, -99999999999.0, 1e19, -1e19}) {
    ComposeRequest request = DefaultRequest();
    request.tracks = 2;
    for (TrackRow& row : request.track_rows) row.octave_base = octave;
    auto c = Compose(request);
    ASSERT_TRUE(c->result.composed);
    const int bound = octave < 0 ? std::numeric_limits<int>::min()
                                 : std::numeric_limits<int>::max();
    for (int s = 0; s < c->engine.score.SlotCount(0); ++s) {
      ScoreEvent e = c->engine.score.Get(0, s);
      if (e.duration == 0) continue;
      EXPECT_EQ(e.pitch, bound) << octave << " " << s;
    }
  }
}

TEST(ComposerTest, VariationZeroAndTenSwitchBoxes) {
  for (double mapping : {1, 2, 3, 321, 32767}) {
    ComposeRequest zero = DefaultRequest();
    zero.mapping = mapping;
    zero.variation = 0;
    auto c = Compose(zero);
    ASSERT_TRUE(c->result.composed);
    const MappedBoxValues& off = *c->result.drawn;
    for (MappedParameter p : kSwitchParameters) {
      EXPECT_EQ(off[p], 0) << mapping << " " << MappedIndex(p);
    }
    ComposeRequest ten = zero;
    ten.variation = 10;
    auto d = Compose(ten);
    ASSERT_TRUE(d->result.composed);
    const MappedBoxValues& on = *d->result.drawn;
    for (MappedParameter p :
         {kPeriodRepeat, kRhythm, kPhraseMirror, kDynamics, kCompression}) {
      EXPECT_NE(on[p], 0) << mapping << " " << MappedIndex(p);
    }
    // The coupling may switch off one of glissando and pointillism.
    EXPECT_FALSE(on[kGlissando] == 0 && on[kPointillism] == 0);
  }
}

TEST(ComposerTest, AutoReportsTheDrawnValuesThatTypedValuesReproduce) {
  ComposeRequest request = DefaultRequest();
  request.mapping = 2024;
  auto c = Compose(request);
  ASSERT_TRUE(c->result.composed);
  ASSERT_TRUE(c->result.drawn.has_value());
  EXPECT_EQ(c->hook.reports,
            (std::vector<std::string>{"started", "drawn", "fixed"}));
  EXPECT_EQ(c->hook.drawn.front(), *c->result.drawn);
  for (int v : c->result.drawn->values) {
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 28);
  }
  // With "Auto" off the drawn values typed in compose the same piece.
  ComposeRequest manual = request;
  manual.mapped_auto = false;
  for (int k = 0; k < kMappedParameterCount; ++k) {
    manual.mapped.values[k] = c->result.drawn->values[k];
  }
  auto d = Compose(manual);
  ASSERT_TRUE(d->result.composed);
  EXPECT_FALSE(d->result.drawn.has_value());
  EXPECT_EQ(d->hook.reports, (std::vector<std::string>{"started", "fixed"}));
  EXPECT_TRUE(SameScore(c->engine.score, d->engine.score));
}

TEST(ComposerTest, NoSelectionComposesAsTheFirstEntry) {
  ComposeRequest request = DefaultRequest();
  request.mapping = 808;
  auto a = Compose(request);
  request.tonality = request.smoothing = request.meter = request.fade = -1;
  auto b = Compose(request);
  ASSERT_TRUE(a->result.composed);
  ASSERT_TRUE(b->result.composed);
  EXPECT_TRUE(SameScore(a->engine.score, b->engine.score));
  EXPECT_EQ(a->result.drawn, b->result.drawn);
}

// Variation 0 and "Auto" off: only the boxes switch treatments on.
ComposeRequest ManualRequest(std::string structure) {
  ComposeRequest request = DefaultRequest();
  request.structure = std::move(structure);
  request.variation = 0;
  request.mapped_auto = false;
  return request;
}

TEST(ComposerTest, RepeatsAndPasses) {
  // Period length from f0 = digit / 9: the digits 9, 0, 9 give 3, 1 and 3
  // phrases. With repeats (f0 > 0.5 gives four passes, else two), every
  // pass halves the phrases: 2 + 2 + 2 + 2, then 1 + 1, then 2 + 2 + 2 + 2.
  ComposeRequest request = ManualRequest("909");
  request.mapped[kPeriodLength] = 1;
  request.mapped[kPeriodRepeat] = 0;
  auto plain = Compose(request);
  ASSERT_TRUE(plain->result.composed);
  // One yield for the status caption, two at the set-up, one per phrase.
  EXPECT_EQ(plain->hook.yields - 3, 3 + 1 + 3);

  request.mapped[kPeriodRepeat] = 1;
  auto repeated = Compose(request);
  ASSERT_TRUE(repeated->result.composed);
  EXPECT_EQ(repeated->hook.yields - 3, 8 + 2 + 8);
}

TEST(ComposerTest, OneTrackPlaysTheThemeWithRepeatsMerged) {
  for (double mapping : {5, 17, 30000}) {
    ComposeRequest request = ManualRequest("1122334455");
    request.mapping = mapping;
    request.tracks = 1;
    EngineState engine;
    std::set<int> phrase_starts;
    RecordingComposeHook hook(
        [&] { phrase_starts.insert(engine.score.UsedLength()); });
    ASSERT_TRUE(ComposeAndFinishScore(request, engine, hook).composed);
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
    for (int t = 1; t < kTrackCount; ++t) EXPECT_EQ(score.SlotCount(t), 0);
  }
}

TEST(ComposerTest, FirstPhraseHasOneSoundingTrackAndSilentTracksKeepTime) {
  ComposeRequest request = ManualRequest("7312468");
  request.tracks = 5;
  EngineState engine;
  int first_phrase_end = -1;
  RecordingComposeHook hook([&] {
    if (first_phrase_end < 0 && engine.score.UsedLength() > 0) {
      first_phrase_end = engine.score.UsedLength();
    }
  });
  ASSERT_TRUE(ComposeAndFinishScore(request, engine, hook).composed);
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
  ComposeRequest request = ManualRequest("0123456");
  request.tracks = 4;
  request.mapped[kPeriodLength] = 5;
  request.mapped[kRhythmTrack] = 6;
  request.mapped[kRhythm] = 0;
  auto off = Compose(request);
  request.mapped[kRhythm] = 3;
  auto on = Compose(request);
  ASSERT_TRUE(off->result.composed);
  ASSERT_TRUE(on->result.composed);
  EXPECT_TRUE(SameScore(off->engine.score, on->engine.score));
  // Rhythm track from f4 = 0: track 0 plays the pulse voice.
  request.mapped[kRhythmTrack] = 5;
  auto track0 = Compose(request);
  request.mapped[kRhythm] = 0;
  auto track0_off = Compose(request);
  EXPECT_FALSE(SameScore(track0->engine.score, track0_off->engine.score));
}

TEST(ComposerTest, StopRequestEndsAfterTheCurrentPhrase) {
  EngineState engine;
  std::vector<int> lengths;
  // The fourth yield follows the first phrase; stop after the second.
  RecordingComposeHook stopping([&] {
    lengths.push_back(engine.score.UsedLength());
    if (lengths.size() == 5) stopping.stop = true;
  });
  ComposeResult result =
      ComposeAndFinishScore(DefaultRequest(), engine, stopping);
  EXPECT_FALSE(result.composed);
  EXPECT_TRUE(result.drawn.has_value());  // the boxes show them all the same
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
  ComposeRequest request = DefaultRequest();
  EngineState engine;
  RecordingComposeHook hook;
  EXPECT_FALSE(ComposeScore(request, engine, hook, 0, "123", 0, 3).composed);
  EXPECT_FALSE(ComposeScore(request, engine, hook, 5, "", 0, 3).composed);
  EXPECT_FALSE(ComposeScore(request, engine, hook, 5, "123", 0, 17).composed);
  EXPECT_EQ(engine.score.UsedLength(), 0);
  EXPECT_TRUE(hook.reports.empty());
  request.structure.clear();
  EXPECT_FALSE(ComposeAndFinishScore(request, engine, hook).composed);
  EXPECT_TRUE(hook.reports.empty());  // not even started
}

// Runs a composition and reports whether the used tracks had played the
// same time at every phrase start.
bool ComposeAligned(const ComposeRequest& request) {
  const int tracks = static_cast<int>(request.tracks);
  EngineState engine;
  bool aligned = true;
  int checked_up_to = 0;
  std::vector<long> elapsed(tracks, 0);
  RecordingComposeHook hook([&] {
    int used = engine.score.UsedLength();
    for (int t = 0; t < tracks; ++t) {
      for (int s = checked_up_to; s < used; ++s) {
        elapsed[t] += engine.score.Get(t, s).duration;
      }
      if (elapsed[t] != elapsed[0]) aligned = false;
    }
    checked_up_to = used;
  });
  EXPECT_TRUE(ComposeAndFinishScore(request, engine, hook).composed);
  EXPECT_GT(engine.score.UsedLength(), 0);
  return aligned;
}

// Mapping 14023 derives the seed 0 for the voices of period 0 (14020: of
// period 3), so voice 1 and voice 2 are empty there; the tracks that play
// them keep time with rests.
TEST(ComposerTest, EmptyDerivedVoicesKeepTime) {
  for (double mapping : {14023, 14020}) {
    for (double tracks : {16, 7}) {
      ComposeRequest request = DefaultRequest();
      request.mapping = mapping;
      request.tracks = tracks;
      request.variation = 10;
      EXPECT_TRUE(ComposeAligned(request)) << mapping << " " << tracks;
    }
  }
}

// Random requests over every option: at every phrase start the used tracks
// have played the same time, and the finished score ends aligned too.
TEST(ComposerTest, TracksStayAlignedAtEveryPhrase) {
  std::mt19937 gen(20240611);
  auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(gen);
  };
  for (int run = 0; run < 300; ++run) {
    ComposeRequest request = DefaultRequest();
    int n = pick(3, 16);
    request.structure.clear();
    for (int i = 0; i < n; ++i) request.structure += char('0' + pick(0, 9));
    request.mapping = pick(1, 32767);
    request.variation = pick(0, 10);
    request.tracks = pick(1, 16);
    request.tonality = pick(0, 7);
    request.smoothing = pick(0, 3);
    request.meter = pick(0, 2);
    request.fade = pick(0, 3);
    const bool tie = pick(0, 3) == 0;
    for (TrackRow& row : request.track_rows) row.tie = tie;
    request.mapped_auto = pick(0, 2) != 0;
    if (!request.mapped_auto) {
      for (double& value : request.mapped.values) value = pick(0, 30);
    }
    EXPECT_TRUE(ComposeAligned(request))
        << "run " << run << " structure " << request.structure << " mapping "
        << request.mapping;
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
