// Track assembly of one phrase: the voices derived from the theme, the
// roles of the tracks, each track's treatment and the writing into the
// score, all tracks starting at the same slot.
#ifndef TESSAVAR_ENGINE_PHRASE_VOICES_H_
#define TESSAVAR_ENGINE_PHRASE_VOICES_H_

#include <string>

#include "engine/composer_settings.h"
#include "engine/engine_state.h"
#include "engine/voice_string.h"

namespace tessavar {

// A track's role: ' ' silent, '0' theme, '1' voice 1, '2' voice 2, '3' mixed.
inline constexpr char kSilentRole = ' ';

class PhraseAssembler {
 public:
  PhraseAssembler(EngineState& engine, const ComposerSettings& settings);

  // Sets the fade factors for the phrase at `position`.
  void SetFadeFactors(const PhrasePosition& position);

  // Derives the voices of a finished theme and writes every track's voice
  // into the score.
  void WritePhrase(const VoiceString& theme, const FeatureVector& f,
                   const PhrasePosition& position);

 private:
  struct Voices {
    VoiceString theme;
    VoiceString voice1;
    VoiceString voice2;
    VoiceString fallback;
    VoiceString mixed;
    VoiceString pulse;
  };

  double Draw() { return engine_.random.NextRandom(); }
  void Reseed(double x);

  void DeriveVoices(Voices& voices, const FeatureVector& f, int s2);
  void ChooseFallback(Voices& voices) const;
  VoiceString MixVoices(const Voices& voices);
  void PlacePulseVoice(Voices& voices, const FeatureVector& f);
  void MaskAndFold(Voices& voices, const FeatureVector& f) const;
  int ActiveTracks(const FeatureVector& f,
                   const PhrasePosition& position) const;
  std::string AssignRoles(int active, const PhrasePosition& position);
  VoiceString TrackVoice(int track, char role, Voices& voices,
                         const VoiceString& silent, const FeatureVector& f,
                         int rhythm_track, int active) const;
  VoiceString RhythmTrackVoice(int track, const VoiceString& pulse,
                               const FeatureVector& f) const;

  EngineState& engine_;
  const ComposerSettings& settings_;
  std::string previous_roles_;
};

// Pure steps of the assembly, exposed for tests.

// The mixed voice's pulse cut: every note becomes notes of duration 2 of its
// pitch class; with `drop_even` the notes after an even count are rests.
VoiceString PulseVoice(const VoiceString& mixed, bool drop_even);
// The rest mask of a voice for the hidden-choice feature value.
void ApplyRestMask(VoiceString& voice, double feature);
// Every sounding pitch folded below 12.
void FoldIntoOctave(VoiceString& voice);
// Long notes (duration >= limit) split once into two notes of the pitch.
VoiceString SplitLongNotes(const VoiceString& voice, int limit);
// MergeRepeatedNotes until nothing changes.
VoiceString MergeAllRepeatedNotes(VoiceString voice);

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_PHRASE_VOICES_H_
