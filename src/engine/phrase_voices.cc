#include "engine/phrase_voices.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "engine/contour_voices.h"
#include "engine/counter_voice.h"
#include "engine/text_number.h"
#include "engine/triad_voice.h"
#include "engine/voice_transforms.h"
#include "engine/voice_writer.h"

namespace tessavar {
namespace {

constexpr char kRoleCharacters[] = "0123";

bool IsSoundingRole(char role) {
  return role == '0' || role == '1' || role == '2';
}

}  // namespace

VoiceString PulseVoice(const VoiceString& mixed, bool drop_even) {
  VoiceString pulse;
  int counter = 1;
  for (size_t i = 0; i < mixed.size(); ++i) {
    int pc = mixed.pitches[i] % 12;  // a rest (127) gives 7
    for (int j = 1; j <= mixed.durations[i] / 2; ++j) {
      pulse.Append(pc, 2);
      if (drop_even && counter % 2 == 0) pc = kRestCode;
      ++counter;
    }
  }
  return pulse;
}

void ApplyRestMask(VoiceString& voice, double feature) {
  double x = 2.0 * (feature - 0.5);
  int64_t m = static_cast<int64_t>(voice.size());
  int64_t first = 0;
  int64_t last = -1;  // 0-based, inclusive
  if (x >= 0) {
    first = m - Int(x * static_cast<double>(m));
    last = m - 1;
  } else {
    last = Int(std::fabs(x) * static_cast<double>(m)) - 1;
  }
  for (int64_t i = std::max<int64_t>(first, 0); i <= last && i < m; ++i) {
    voice.pitches[i] = kRestCode;
  }
}

void FoldIntoOctave(VoiceString& voice) {
  for (int& code : voice.pitches) {
    if (code != kRestCode && code >= 12) code %= 12;
  }
}

VoiceString SplitLongNotes(const VoiceString& voice, int limit) {
  VoiceString split;
  for (size_t i = 0; i < voice.size(); ++i) {
    int d = voice.durations[i];
    if (d >= limit) {
      split.Append(voice.pitches[i], d - d / 2);
      split.Append(voice.pitches[i], d / 2);
    } else {
      split.Append(voice.pitches[i], d);
    }
  }
  return split;
}

VoiceString MergeAllRepeatedNotes(VoiceString voice) {
  for (;;) {
    VoiceString merged = MergeRepeatedNotes(voice);
    if (merged == voice) return voice;
    voice = std::move(merged);
  }
}

PhraseAssembler::PhraseAssembler(EngineState& engine,
                                 const ComposerSettings& settings)
    : engine_(engine),
      settings_(settings),
      previous_roles_(settings.tracks, kSilentRole) {}

void PhraseAssembler::Reseed(double x) {
  engine_.random.MixRandom(x);
  engine_.random.RestartRandom(x);
}

void PhraseAssembler::SetFadeFactors(const PhrasePosition& position) {
  const int fade_in = settings_.fade % 2;
  const int fade_out = settings_.fade / 2;
  const double phrases = position.period_phrases;
  const double q = position.phrase;
  engine_.fade_in_start = engine_.fade_in_end = 1.0;
  if (fade_in != 0 && position.period == 0 && position.pass == 0) {
    double from = q / phrases;
    double to = (q + 1) / phrases;
    engine_.fade_in_start = from * from;
    engine_.fade_in_end = to * to;
  }
  engine_.fade_out_start = engine_.fade_out_end = 1.0;
  if (fade_out != 0 && position.final_period &&
      position.pass == position.reps) {
    double from = 1 - q / phrases;
    double to = 1 - (q + 1) / phrases;
    engine_.fade_out_start = from > 0 ? std::sqrt(from) : from;
    engine_.fade_out_end = to > 0 ? std::sqrt(to) : to;
  }
}

void PhraseAssembler::WritePhrase(const VoiceString& theme,
                                  const FeatureVector& f,
                                  const PhrasePosition& position) {
  const FeatureChoices& choices = settings_.choices;
  const auto& m = choices.m;
  Voices voices;
  voices.theme = theme;

  int transposition =
      settings_.scales.PitchField(Fix(f[m[MappedParameter::kCurrentKey]] * 12));
  if (settings_.tonality > 2) transposition = 0;

  Reseed(-std::fabs(static_cast<double>(settings_.seed + position.period)));
  int s2 = ToInt(Int(Draw() * 32767));
  DeriveVoices(voices, f, s2);
  ChooseFallback(voices);
  if (settings_.flags.pointillism) {
    SplitMelodyVoices(engine_, voices.theme,
                      f[m[MappedParameter::kPointillism]]);
  }
  voices.mixed = MixVoices(voices);
  PlacePulseVoice(voices, f);
  MaskAndFold(voices, f);

  int64_t phrase_seed =
      (settings_.seed + position.period + position.phrase) % 32766 + 1;
  Reseed(-std::fabs(static_cast<double>(phrase_seed)));
  int active = ActiveTracks(f, position);
  std::string roles = AssignRoles(active, position);

  int rhythm_track =
      ToInt(Int(f[m[MappedParameter::kRhythmTrack]] * settings_.tracks));
  VoiceString silent = SilenceVoice(voices.theme);
  int start = engine_.score.UsedLength();
  double dynamics =
      settings_.flags.dynamics ? f[m[MappedParameter::kDynamics]] : -1.0;
  for (int i = 0; i < settings_.tracks; ++i) {
    VoiceString voice =
        TrackVoice(i, roles[i], voices, silent, f, rhythm_track, active);
    WriteVoiceToScore(engine_, voice, transposition, i, start, dynamics,
                      settings_.volume[i]);
  }
  previous_roles_ = std::move(roles);
}

void PhraseAssembler::DeriveVoices(Voices& voices, const FeatureVector& f,
                                   int s2) {
  const HiddenChoices& hidden = settings_.choices.hidden;
  const double guide_feature = f[hidden.guided_voices];
  bool guided = guide_feature * guide_feature >= 0.5;
  double t = std::sqrt(f[hidden.counter_voices] + 0.01);
  if (s2 < t * 32767 || guided) {
    VoiceString guide = guided ? voices.theme : VoiceString();
    voices.voice1 = GenerateCounterVoice(engine_.random, s2, settings_.key,
                                         guide, voices.theme);
    voices.voice2 = CompleteTriadVoice(engine_.random, settings_.key,
                                       voices.theme, voices.voice1);
  } else {
    // Its result would only say whether voices were made; the seed of the
    // composition is not touched by it.
    GenerateContourVoices(engine_, s2, voices.theme, settings_.key);
    voices.voice1 = engine_.candidate_voices[Int(Draw() * 22) + 1];
    voices.voice2 = engine_.candidate_voices[Int(Draw() * 22) + 1];
  }
}

void PhraseAssembler::ChooseFallback(Voices& voices) const {
  if (voices.voice1.SoundingNotes() > 2) {
    voices.fallback = voices.voice1;
  } else if (voices.voice2.SoundingNotes() > 2) {
    voices.fallback = voices.voice2;
  }
}

VoiceString PhraseAssembler::MixVoices(const Voices& voices) {
  const std::array<const VoiceString*, 3> sources = {
      &voices.theme, &voices.voice1, &voices.voice2};
  VoiceString mixed;
  mixed.pitches.reserve(voices.theme.size());
  for (size_t i = 0; i < voices.theme.size(); ++i) {
    // A draw lies in [0, 1), so the index is 0, 1 or 2.
    const auto pick = static_cast<size_t>(Int(Draw() * sources.size()));
    const VoiceString& source = *sources[std::min(pick, sources.size() - 1)];
    // A voice shorter than the theme lends the theme's pitch, so that the
    // mixed voice keeps the theme's length.
    mixed.pitches.push_back(i < source.size() ? source.pitches[i]
                                              : voices.theme.pitches[i]);
  }
  mixed.durations = voices.theme.durations;
  return mixed;
}

void PhraseAssembler::PlacePulseVoice(Voices& voices, const FeatureVector& f) {
  double pulse_feature = f[settings_.choices.hidden.pulse];
  if (pulse_feature >= 0.5 || !settings_.flags.pulse) {
    voices.pulse = voices.mixed;
    return;
  }
  voices.pulse = PulseVoice(voices.mixed, pulse_feature < 0.25);
  if (Draw() < 0.5) {
    voices.voice1 = voices.pulse;
  } else {
    voices.voice2 = voices.pulse;
  }
}

void PhraseAssembler::MaskAndFold(Voices& voices,
                                  const FeatureVector& f) const {
  const HiddenChoices& hidden = settings_.choices.hidden;
  ApplyRestMask(voices.voice1, f[hidden.voice1_rests]);
  ApplyRestMask(voices.voice2, f[hidden.voice2_rests]);
  ApplyRestMask(voices.mixed, f[hidden.mixed_rests]);
  FoldIntoOctave(voices.voice1);
  FoldIntoOctave(voices.voice2);
  FoldIntoOctave(voices.mixed);
}

int PhraseAssembler::ActiveTracks(const FeatureVector& f,
                                  const PhrasePosition& position) const {
  const int tracks = settings_.tracks;
  const double x = f[settings_.choices.m[MappedParameter::kActiveVoices]];
  int active = tracks <= 8 ? ToInt(Int(x * (tracks - 1))) + 1
                           : ToInt(Fix(x * x * (tracks - 1))) + 1;
  if (position.period == 0) {
    // In the first period the voices enter gradually.
    if (position.phrase == 0) active = 1;
    if (position.phrase == 1) active = std::min(active, 2);
    if (position.phrase == 2) active = std::min(active, 4);
  }
  return active;
}

std::string PhraseAssembler::AssignRoles(int active,
                                         const PhrasePosition& position) {
  const int tracks = settings_.tracks;
  std::string roles = position.period + position.phrase > 0
                          ? previous_roles_
                          : std::string(tracks, kSilentRole);
  int need =
      active - static_cast<int>(tracks - std::count(roles.begin(), roles.end(),
                                                    kSilentRole));
  auto draw_track = [&] { return ToInt(Int(Draw() * tracks)); };
  while (need > 0) {
    int t = draw_track();
    if (roles[t] == kSilentRole) {
      roles[t] = kRoleCharacters[Int(Draw() * 4)];
      --need;
    }
  }
  while (need < 0) {
    int t = draw_track();
    if (roles[t] != kSilentRole) {
      roles[t] = kSilentRole;
      ++need;
    }
  }
  while (roles.find('0') == std::string::npos) {
    int t = draw_track();
    if (roles[t] != kSilentRole) roles[t] = '0';
  }
  return roles;
}

VoiceString PhraseAssembler::TrackVoice(int track, char role, Voices& voices,
                                        const VoiceString& silent,
                                        const FeatureVector& f,
                                        int rhythm_track, int active) const {
  const auto& m = settings_.choices.m;
  const OptionFlags& flags = settings_.flags;
  if (IsSoundingRole(role) &&
      f[m[MappedParameter::kActiveVoices]] *
              f[m[MappedParameter::kPointillism]] >
          0.5 &&
      flags.pointillism) {
    // Holds for this and the later tracks of the phrase.
    voices.theme = engine_.split_voice1;
    voices.voice1 = engine_.split_voice2;
    voices.voice2 = engine_.split_voice3;
  }
  VoiceString voice = silent;
  const VoiceString* chosen = role == '0'   ? &voices.theme
                              : role == '1' ? &voices.voice1
                              : role == '2' ? &voices.voice2
                              : role == '3' ? &voices.mixed
                                            : nullptr;
  // An empty voice would leave the track behind the others in time.
  if (chosen != nullptr && !chosen->empty()) voice = *chosen;

  if (settings_.tie[track] || role == '0') {
    voice = MergeAllRepeatedNotes(std::move(voice));
  } else if (flags.glissando) {
    double g = f[m[MappedParameter::kGlissando]];
    if ((role == '1' && ((g >= 0.38 && g < 0.63) || g >= 0.88)) ||
        (role == '2' && g >= 0.63)) {
      voice = AddPassingNotes(voice);
    }
  }
  if (track == rhythm_track && flags.rhythm) {
    voice = RhythmTrackVoice(track, voices.pulse, f);
  }
  voice = settings_.scales.Snap(voice);
  if (flags.lone && voice.SoundingNotes() == 1) {
    if (active > 1) {
      for (size_t i = 0; i < voice.size(); ++i) {
        if (voice.pitches[i] != kRestCode && voice.durations[i] > 0) {
          voice.pitches[i] = kRestCode;
        }
      }
    }
    if (!voices.fallback.empty()) voice = voices.fallback;
  }
  return voice;
}

VoiceString PhraseAssembler::RhythmTrackVoice(int track,
                                              const VoiceString& pulse,
                                              const FeatureVector& f) const {
  VoiceString voice = pulse;
  if (settings_.tie[track]) voice = MergeRepeatedNotes(voice);
  if (settings_.meter == 0 &&
      f[settings_.choices.m[MappedParameter::kRhythm]] >= 0.5) {
    int limit = std::max((settings_.max_dur + settings_.min_dur) / 2, 8);
    voice = SplitLongNotes(voice, limit);
  }
  return DetachNotes(voice);
}

}  // namespace tessavar
