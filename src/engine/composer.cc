#include "engine/composer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "engine/composer_settings.h"
#include "engine/mapped_values.h"
#include "engine/phrase_voices.h"
#include "engine/text_characters.h"
#include "engine/text_number.h"

namespace tessavar {
namespace {

using enum MappedParameter;

// A list without a selection composes as its first entry.
int ListIndex(int selection) { return std::max(selection, 0); }

// Shapes a feature toward 0 or 1: squares below 0.5, roots above.
double ShapeFeature(double x) { return x < 0.5 ? x * x : std::sqrt(x); }

class Composer {
 public:
  Composer(const ComposeRequest& request, EngineState& engine,
           ComposeHook& hook)
      : request_(request), engine_(engine), hook_(hook) {}

  ComposeResult Run(int seed, std::string_view structure, int key, int tracks);

 private:
  double Draw() { return engine_.random.NextRandom(); }
  int Pick(int range) { return ToInt(Int(Draw() * range)); }
  bool Flag(double probability) { return Draw() < probability; }
  bool RootFlag(double v) {
    double r = Draw();
    return r * r < v;
  }
  void Reseed();

  // Set-up.
  void FillVoiceChoiceTable();
  void ReadLists();
  void DrawOptionFlags(double v);
  void ApplyFixedMeter();
  void DrawFeatureChoices();
  void ApplyCouplings();
  void ApplyMappedValues(ComposeResult& result);
  void ShowComposing();
  void ReadTrackControls();
  void SetDigits(std::string_view structure);

  // The nested loops.
  bool ComposePeriod(int p);
  bool ComposePhrase(const PhrasePosition& position);

  // Features.
  double Spread(int d) const;
  bool IsMirrored() const;
  void SetPeriodFeatures(int p);
  int PeriodPhraseCount() const;
  void SmoothPeriodPass(int p);
  void SetPhraseFeatures(const PhrasePosition& position);
  void SmoothPhraseAtNote(const PhrasePosition& position);
  void SetNoteFeatures(int digit_index, int sum_of_indexes);

  // The theme.
  VoiceString BuildTheme(const PhrasePosition& position, int& notes);
  int NoteDigitIndex(int k, int last_note) const;
  int NotePitch() const;
  int NoteDuration();
  void FitMeter(VoiceString& theme, int notes) const;
  void AddCadence(VoiceString& theme) const;
  void AddCadences(VoiceString& theme, const PhrasePosition& position) const;
  void ApplyRetrograde(VoiceString& theme,
                       const PhrasePosition& position) const;

  const ComposeRequest& request_;
  EngineState& engine_;
  ComposeHook& hook_;
  ComposerSettings settings_;
  std::vector<int> digits_;
  int dmin_ = 0;
  int dmax_ = 0;
  FeatureVector f_{};
  FeatureVector raw_{};
  FeatureVector mem_{};
  int prev_dur_ = 0;
  PhraseAssembler* assembler_ = nullptr;
};

ComposeResult Composer::Run(int seed, std::string_view structure, int key,
                            int tracks) {
  ComposeResult result;
  if (seed == 0 || structure.empty() || tracks < 1 || tracks > kTrackCount) {
    return result;
  }
  settings_.seed = seed;
  settings_.key = key;
  settings_.tracks = tracks;

  Reseed();
  FillVoiceChoiceTable();
  Reseed();
  settings_.min_dur = 2;
  double r = Draw();
  settings_.max_dur = 12 + ToInt(Int(r * r * 7));
  double v = request_.variation / 10;
  ReadLists();
  DrawOptionFlags(v);
  ApplyFixedMeter();
  DrawFeatureChoices();
  ApplyCouplings();
  ApplyMappedValues(result);
  ShowComposing();
  settings_.flags.lone = Flag(v);
  SetDigits(structure);
  prev_dur_ = (settings_.max_dur + settings_.min_dur) / 2;
  ReadTrackControls();

  PhraseAssembler assembler(engine_, settings_);
  assembler_ = &assembler;
  for (int p = 0; p < settings_.digit_count; ++p) {
    if (!ComposePeriod(p)) return result;
  }
  result.composed = true;
  return result;
}

void Composer::Reseed() {
  double x = -std::fabs(static_cast<double>(settings_.seed));
  engine_.random.MixRandom(x);
  engine_.random.RestartRandom(x);
}

void Composer::FillVoiceChoiceTable() {
  for (auto& choice : engine_.voice_choice_table) {
    choice = static_cast<int16_t>(Pick(3));
  }
}

void Composer::ReadLists() {
  settings_.tonality = ListIndex(request_.tonality);
  settings_.meter = ListIndex(request_.meter);
  settings_.fade = ListIndex(request_.fade);
  settings_.scales = ScaleTables(settings_.tonality, request_.user_scale);
}

void Composer::DrawOptionFlags(double v) {
  OptionFlags& flags = settings_.flags;
  flags.pulse = Flag(v);
  flags.rhythm = Flag(v);
  flags.invert = RootFlag(v);
  flags.retro = RootFlag(v);
  flags.compression = RootFlag(v);
  flags.phrase_shape = Flag(v);
  flags.note_smooth = Flag(v);
  flags.power_two = Flag(v);
  flags.repeat = Flag(v);
  flags.period_shape = Flag(v);
  int smoothing = ListIndex(request_.smoothing);
  flags.smooth_periods = smoothing == 1 || smoothing == 3;
  flags.smooth_phrases = smoothing == 2 || smoothing == 3;
  flags.pointillism = Flag(v * v);
  flags.glissando = Flag(v);
  RootFlag(v);  // drawn, never used
  flags.mirror = Flag(v);
  flags.period_cadence = Flag(v);
  flags.phrase_cadence = Flag(v);
  flags.dynamics = Flag(v);
}

void Composer::ApplyFixedMeter() {
  if (settings_.meter == 0) return;
  OptionFlags& flags = settings_.flags;
  if (!flags.invert && !flags.retro) flags.invert = flags.retro = true;
  flags.phrase_cadence = false;
}

void Composer::DrawFeatureChoices() {
  auto& m = settings_.choices.m;
  HiddenChoices& hidden = settings_.choices.hidden;
  hidden.voice1_rests = Pick(12);
  hidden.voice2_rests = Pick(12);
  hidden.mixed_rests = Pick(12);
  hidden.pulse = Pick(4);
  m[kRhythm] = Pick(12);
  Pick(4);  // drawn, never used
  m[kCurrentKey] = Pick(12);
  hidden.inversion = Pick(12);
  hidden.retrograde = Pick(12);
  m[kCompression] = Pick(12);
  m[kNoteDuration] = Pick(20) + 8;
  m[kNotePitch] = Pick(24) + 4;
  hidden.period_cadence = Pick(4);
  m[kPeriodLength] = Pick(4);
  m[kPeriodRepeat] = Pick(4);
  hidden.phrase_cadence = Pick(12);
  m[kPhraseLength] = Pick(12);
  m[kPointillism] = Pick(12);
  m[kGlissando] = Pick(12);
  hidden.guided_voices = Pick(12);
  hidden.counter_voices = Pick(12);
  m[kActiveVoices] = Pick(12);
  m[kPhraseMirror] = Pick(12);
  m[kRhythmTrack] = Pick(12);
  m[kDynamics] = Pick(12);
}

void Composer::ApplyCouplings() {
  auto& m = settings_.choices.m;
  OptionFlags& flags = settings_.flags;
  // Both draws are made whether or not their conditions hold.
  double r = Draw();
  if (flags.mirror && r < 0.5) m[kPhraseMirror] = m[kPhraseLength];
  r = Draw();
  if (flags.pointillism && flags.glissando && r < 0.5) {
    if (Draw() < 0.5) {
      flags.pointillism = false;
    } else {
      flags.glissando = false;
    }
  }
  if (flags.rhythm) {
    if (m[kRhythm] < 4) {
      if (Draw() < 0.5) m[kRhythmTrack] = m[kRhythm];
    } else if (m[kRhythmTrack] < 4) {
      m[kRhythm] = m[kRhythmTrack];
    }
  }
}

// The boxes decide: with "Auto" on they show what was just drawn and are
// read back, with it off the values the user typed replace the drawn ones.
void Composer::ApplyMappedValues(ComposeResult& result) {
  if (!request_.mapped_auto) {
    ApplyBoxValues(request_.mapped, settings_.flags, settings_.choices);
    return;
  }
  result.drawn = BoxValuesFromChoices(settings_.flags, settings_.choices);
  hook_.MappedValuesDrawn(*result.drawn);
  ApplyBoxValues(ReadBackBoxValues(*result.drawn), settings_.flags,
                 settings_.choices);
}

void Composer::ShowComposing() {
  hook_.Yield();
  hook_.MappedValuesFixed();
  hook_.Yield();
}

void Composer::ReadTrackControls() {
  for (int t = 0; t < kTrackCount; ++t) {
    const TrackRow& row = request_.track_rows[t];
    settings_.tie[t] = row.tie;
    settings_.volume[t] = ToInt(CInt(row.volume));
  }
}

void Composer::SetDigits(std::string_view structure) {
  digits_.clear();
  for (char ch : structure) {
    digits_.push_back(ToInt(CInt(NumericValue(std::string_view(&ch, 1)))));
  }
  settings_.digit_count = static_cast<int>(digits_.size());
  dmin_ = *std::min_element(digits_.begin(), digits_.end());
  dmax_ = *std::max_element(digits_.begin(), digits_.end());
}

bool Composer::ComposePeriod(int p) {
  SetPeriodFeatures(p);
  const int phrases = PeriodPhraseCount();
  int last_phrase = phrases - 1;
  const auto& m = settings_.choices.m;
  const int reps =
      !settings_.flags.repeat ? 0 : (f_[m[kPeriodRepeat]] > 0.5 ? 3 : 1);
  for (int pass = 0; pass <= reps; ++pass) {
    SmoothPeriodPass(p);
    // Later passes have fewer phrases.
    if (settings_.flags.repeat) last_phrase = (last_phrase + 1) / 2;
    for (int q = 0; q <= last_phrase; ++q) {
      PhrasePosition position{p,
                              pass,
                              reps,
                              q,
                              last_phrase,
                              phrases,
                              p == settings_.digit_count - 1};
      if (!ComposePhrase(position)) return false;
    }
  }
  return true;
}

bool Composer::ComposePhrase(const PhrasePosition& position) {
  SetPhraseFeatures(position);
  int notes = 0;
  VoiceString theme = BuildTheme(position, notes);
  FitMeter(theme, notes);
  AddCadences(theme, position);
  ApplyRetrograde(theme, position);
  assembler_->WritePhrase(theme, f_, position);
  hook_.Yield();
  return !hook_.StopRequested();
}

double Composer::Spread(int d) const {
  int range = dmax_ - dmin_;
  return range == 0 ? 0.0 : static_cast<double>(d - dmin_) / range;
}

bool Composer::IsMirrored() const {
  return settings_.flags.mirror && f_[settings_.choices.m[kPhraseMirror]] > 0.5;
}

void Composer::SetPeriodFeatures(int p) {
  int d = digits_[p];
  f_[0] = d / 9.0;
  f_[1] = 1 - f_[0];
  f_[2] = Spread(d);
  f_[3] = 1 - f_[2];
  std::copy(f_.begin(), f_.begin() + kPhraseFeatureStart, raw_.begin());
  if (settings_.flags.smooth_periods && p > 0) {
    for (int i = kPeriodFeatureStart; i < kPhraseFeatureStart; ++i) {
      f_[i] = (2 * f_[i] + mem_[i]) / 3;
    }
  }
}

int Composer::PeriodPhraseCount() const {
  double x = f_[settings_.choices.m[kPeriodLength]];
  if (settings_.flags.period_shape) x = ShapeFeature(x);
  x = std::pow(x, 1.5);
  int phrases = ToInt(Int(x * (settings_.digit_count - 1))) + 1;
  if (settings_.flags.power_two) phrases = LargestPowerOfTwoNotAbove(phrases);
  return phrases;
}

void Composer::SmoothPeriodPass(int p) {
  if (!settings_.flags.smooth_periods) return;
  for (int i = kPeriodFeatureStart; i < kPhraseFeatureStart; ++i) {
    if (p > 0) f_[i] = (raw_[i] + mem_[i]) / 2;
    mem_[i] = f_[i];
  }
}

void Composer::SetPhraseFeatures(const PhrasePosition& position) {
  int d = digits_[position.phrase];
  f_[4] = d / 9.0;
  f_[5] = 1 - f_[4];
  f_[6] = Spread(d);
  f_[7] = 1 - f_[6];
  f_[8] = (f_[0] + f_[4]) / 2;
  f_[9] = 1 - f_[8];
  f_[10] = (f_[2] + f_[6]) / 2;
  f_[11] = 1 - f_[10];
  std::copy(f_.begin() + kPhraseFeatureStart, f_.begin() + kNoteFeatureStart,
            raw_.begin() + kPhraseFeatureStart);
  if (settings_.flags.smooth_phrases && position.period + position.phrase > 0) {
    for (int i = kPhraseFeatureStart; i < kNoteFeatureStart; ++i) {
      f_[i] = (2 * f_[i] + mem_[i]) / 3;
    }
  }
}

void Composer::SmoothPhraseAtNote(const PhrasePosition& position) {
  if (!settings_.flags.smooth_phrases) return;
  for (int i = kPhraseFeatureStart; i < kNoteFeatureStart; ++i) {
    if (position.period + position.phrase > 0) {
      f_[i] = (raw_[i] + mem_[i]) / 2;
    }
    mem_[i] = f_[i];
  }
}

void Composer::SetNoteFeatures(int digit_index, int sum_of_indexes) {
  int d = digits_[digit_index];
  f_[12] = d / 9.0;
  f_[13] = 1 - f_[12];
  f_[14] = Spread(d);
  f_[15] = 1 - f_[14];
  f_[16] = (f_[0] + f_[12]) / 2;
  f_[17] = 1 - f_[16];
  f_[18] = (f_[2] + f_[14]) / 2;
  f_[19] = 1 - f_[18];
  f_[20] = (f_[4] + f_[12]) / 2;
  f_[21] = 1 - f_[20];
  f_[22] = (f_[6] + f_[14]) / 2;
  f_[23] = 1 - f_[22];
  f_[24] = (f_[8] + f_[12]) / 2;
  f_[25] = 1 - f_[24];
  f_[26] = (f_[10] + f_[14]) / 2;
  f_[27] = 1 - f_[26];
  if (settings_.flags.note_smooth) {
    for (int i = kNoteFeatureStart; i < kFeatureCount; ++i) {
      if (sum_of_indexes > 0) f_[i] = (2 * f_[i] + mem_[i]) / 3;
      mem_[i] = f_[i];
    }
  }
}

VoiceString Composer::BuildTheme(const PhrasePosition& position, int& notes) {
  double x = f_[settings_.choices.m[kPhraseLength]];
  if (settings_.flags.phrase_shape) x = ShapeFeature(x);
  x = std::sqrt(x);
  notes = ToInt(Int(x * (settings_.digit_count - 1))) + 1;
  const int last_note = IsMirrored() ? 2 * notes - 1 : notes - 1;

  assembler_->SetFadeFactors(position);
  VoiceString theme;
  theme.pitches.reserve(last_note + 4);
  theme.durations.reserve(last_note + 4);
  for (int k = 0; k <= last_note; ++k) {
    SmoothPhraseAtNote(position);
    SetNoteFeatures(NoteDigitIndex(k, last_note),
                    position.period + position.phrase + k);
    int pitch = NotePitch();
    theme.Append(pitch, NoteDuration());
  }
  return theme;
}

// A mirrored phrase runs its digits forward and back; with phrase smoothing
// the mirror test can change inside a phrase, so an index past the digits
// takes the last digit.
int Composer::NoteDigitIndex(int k, int last_note) const {
  int index = k;
  if (IsMirrored()) {
    int half = (last_note + 1) / 2;
    index = k + 1 <= half ? k : 2 * half - k;
  }
  return std::min(index, settings_.digit_count - 1);
}

int Composer::NotePitch() const {
  const auto& m = settings_.choices.m;
  double c = 1;
  if (settings_.flags.compression) {
    c = f_[m[kCompression]];
    if (c > 0) c = std::sqrt(c);
  }
  double y = f_[m[kNotePitch]];
  if (settings_.flags.invert && f_[settings_.choices.hidden.inversion] > 0.5) {
    y = 1 - y;
  }
  y = std::fabs(c * y);
  return settings_.scales.PitchField(Int(y * 12));
}

int Composer::NoteDuration() {
  double x = f_[settings_.choices.m[kNoteDuration]];
  int span = settings_.max_dur - settings_.min_dur;
  int dur = ToInt(Int(x * x * span + 0.5)) + settings_.min_dur;
  dur = ToInt(Fix((2.0 * dur + prev_dur_) / 3 + 0.5));
  if (dur % 2 != 0) ++dur;
  prev_dur_ = dur;
  return dur;
}

void Composer::FitMeter(VoiceString& theme, int notes) const {
  if (!settings_.flags.rhythm || settings_.meter == 0 ||
      f_[settings_.choices.m[kRhythm]] < 0.5) {
    return;
  }
  int bar = settings_.meter == 1 ? 48 : 64;
  double share = static_cast<double>(notes) / settings_.digit_count;
  if (share < 0.25) bar /= 2;
  if (share > 0.75) bar = ToInt(CInt(1.5 * bar));

  int total = theme.TotalDuration();
  while (total < bar) {
    VoiceString doubled = theme;
    doubled.pitches.insert(doubled.pitches.end(), theme.pitches.begin(),
                           theme.pitches.end());
    doubled.durations.insert(doubled.durations.end(), theme.durations.begin(),
                             theme.durations.end());
    theme = std::move(doubled);
    total *= 2;
  }
  while (total > bar && theme.size() > 1) {
    total -= theme.durations.back();
    theme.pitches.pop_back();
    theme.durations.pop_back();
  }
  if (total > bar) {
    theme.durations[0] = bar;
    total = bar;
  }
  int deficit = bar - total;
  while (deficit > 0) {
    bool lengthened = false;
    for (int& d : theme.durations) {
      if (d >= 126) continue;
      d += 2;
      deficit -= 2;
      lengthened = true;
      if (deficit <= 0) break;
    }
    if (!lengthened) break;
  }
}

void Composer::AddCadence(VoiceString& theme) const {
  int longest = std::max(
      *std::max_element(theme.durations.begin(), theme.durations.end()),
      settings_.min_dur);
  int dur = ToInt(CInt(1.5 * longest));
  if (dur % 2 != 0) ++dur;
  theme.Append(theme.pitches.back(), dur);
}

void Composer::AddCadences(VoiceString& theme,
                           const PhrasePosition& position) const {
  const HiddenChoices& hidden = settings_.choices.hidden;
  const OptionFlags& flags = settings_.flags;
  if (flags.phrase_cadence && f_[hidden.phrase_cadence] > 0.5) {
    AddCadence(theme);
  }
  if (position.phrase == position.last_phrase &&
      ((flags.period_cadence && f_[hidden.period_cadence] > 0.5) ||
       position.final_period)) {
    AddCadence(theme);
  }
  if (position.final_period && position.pass == position.reps) {
    AddCadence(theme);
  }
}

void Composer::ApplyRetrograde(VoiceString& theme,
                               const PhrasePosition& position) const {
  int ret = (position.pass == 1 && position.reps == 1) ||
                    (position.pass >= 2 && position.reps == 3)
                ? 1
                : 0;
  if (settings_.flags.retro && f_[settings_.choices.hidden.retrograde] >= 0.5) {
    ret = 1 - ret;
  }
  if (ret == 1) std::reverse(theme.pitches.begin(), theme.pitches.end());
}

}  // namespace

int KeyForTonality(int tonality, RandomStream& random) {
  if (tonality > 2) return 0;
  int tonic = ToInt(Int(random.NextRandom() * 12));
  if (tonality == 0) return -(tonic + 1);
  return tonality == 1 ? tonic : tonic + 12;
}

namespace {

void RestartFromSeed(RandomStream& random, double seed_value) {
  random.RestartRandom(-std::fabs(seed_value));
  random.MixRandom(-std::fabs(seed_value));
}

// The key of the request: the stream restarted from the mapping, one draw.
int DrawKey(const ComposeRequest& request, RandomStream& random) {
  RestartFromSeed(random, request.mapping);
  return KeyForTonality(ListIndex(request.tonality), random);
}

// a + b, held at the ends of the int64 range instead of overflowing (an
// octave base saturates there for a huge transposition).
int64_t SaturatingAdd(int64_t a, int64_t b) {
  int64_t sum = 0;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? std::numeric_limits<int64_t>::max()
               : std::numeric_limits<int64_t>::min();
}

// Octave bases, track names and instruments for the writer.
void FinishScore(const ComposeRequest& request, EngineState& engine,
                 int tracks) {
  for (int t = 0; t < tracks; ++t) {
    const TrackRow& row = request.track_rows[t];
    const int64_t base = CInt(row.octave_base);
    engine.track_name[t] = "Track " + std::to_string(t + 1);
    for (int r = 0; r < engine.score.RunCount(t); ++r) {
      for (ScoreEvent& event : engine.score.MutableRun(t, r)) {
        // Added saturated: the writer plays any pitch outside 1..127 as
        // key 0.
        if (event.duration > 0) {
          event.pitch = ToInt(SaturatingAdd(event.pitch, base));
        }
      }
    }
    // An instrument list without a selection plays program 0.
    engine.track_instrument[t] = std::max(row.instrument, 0);
  }
  for (int t = tracks; t <= kTrackCount; ++t) engine.track_name[t].clear();
}

}  // namespace

std::string NormalizeStructure(std::string_view structure) {
  std::string digits;
  for (std::string_view ch : SplitCharacters(structure)) {
    bool is_digit = ch.size() == 1 && ch[0] >= '0' && ch[0] <= '9';
    digits.push_back(
        is_digit ? ch[0] : static_cast<char>('0' + CharacterCode(ch) % 10));
  }
  return digits;
}

int LargestPowerOfTwoNotAbove(int count) {
  if (count < 1) return count;
  int power = 1;
  while (power <= count / 2) power *= 2;
  return power;
}

ComposeResult ComposeScore(const ComposeRequest& request, EngineState& engine,
                           ComposeHook& hook, int seed,
                           std::string_view structure, int key, int tracks) {
  return Composer(request, engine, hook).Run(seed, structure, key, tracks);
}

int ComposedKey(const ComposeRequest& request) {
  RandomStream random;
  return DrawKey(request, random);
}

ComposeResult ComposeAndFinishScore(const ComposeRequest& request,
                                    EngineState& engine, ComposeHook& hook) {
  engine.score.Clear();
  if (request.structure.empty()) return {};
  std::string digits = NormalizeStructure(request.structure);

  const double seed_value = request.mapping;
  int key = DrawKey(request, engine.random);
  int seed = ToInt(CInt(std::fabs(seed_value)));
  int tracks = ToInt(CInt(request.tracks));
  // Restarted again, so that the key draw does not shift the composition.
  RestartFromSeed(engine.random, seed_value);

  hook.ComposingStarted();
  hook.Yield();
  ComposeResult result =
      ComposeScore(request, engine, hook, seed, digits, key, tracks);
  if (result.composed) FinishScore(request, engine, tracks);
  return result;
}

}  // namespace tessavar
