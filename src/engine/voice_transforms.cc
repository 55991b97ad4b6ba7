#include "engine/voice_transforms.h"

#include <cstdlib>

namespace tessavar {
namespace {

// Longest note that repeated pitches are tied into.
constexpr int kMaxMergedDuration = 96;

}  // namespace

VoiceString AddPassingNotes(const VoiceString& voice) {
  if (voice.empty()) return {};
  const size_t n = voice.size();
  VoiceString result;
  for (size_t i = 0; i + 1 < n; ++i) {
    const int p = voice.pitches[i];
    const int d = voice.durations[i];
    // Used as it stands, also when it is a rest.
    const int next = voice.pitches[i + 1];
    if (p < kRestCode && d >= 4 && std::abs(next - p) > 1) {
      // The note keeps the larger half; the passing note gets the rest.
      const int h = (d + 1) / 2;
      result.Append(p, h);
      result.Append((p + next) / 2, d - h);
    } else {
      result.Append(p, d);
    }
  }
  result.Append(voice.pitches[n - 1], voice.durations[n - 1]);
  return result;
}

VoiceString MergeRepeatedNotes(const VoiceString& voice) {
  if (voice.empty()) return {};
  VoiceString result;
  result.Append(voice.pitches[0], voice.durations[0]);
  for (size_t k = 1; k < voice.size(); ++k) {
    const int sum = voice.durations[k] + result.durations.back();
    if (voice.pitches[k] == result.pitches.back() &&
        sum <= kMaxMergedDuration) {
      result.durations.back() = sum;
    } else {
      result.Append(voice.pitches[k], voice.durations[k]);
    }
  }
  return result;
}

VoiceString DetachNotes(const VoiceString& voice) {
  VoiceString result;
  for (size_t i = 0; i < voice.size(); ++i) {
    const int d = voice.durations[i];
    if (d > 2) {
      result.Append(voice.pitches[i], d - 2);
      result.Append(kRestCode, 2);
    } else {
      result.Append(voice.pitches[i], d);
    }
  }
  return result;
}

VoiceString SilenceVoice(const VoiceString& voice) {
  VoiceString result = voice;
  for (int& p : result.pitches) p = kRestCode;
  return result;
}

void SplitMelodyVoices(EngineState& state, const VoiceString& melody,
                       double probability) {
  VoiceString* voices[] = {&state.split_voice1, &state.split_voice2,
                           &state.split_voice3};
  for (VoiceString* v : voices) {
    v->pitches.clear();
    v->durations = melody.durations;
  }
  for (int pitch : melody.pitches) {
    int target = 0;
    if (state.random.NextRandom() < probability) {
      target = state.random.NextRandom() < 0.5 ? 1 : 2;
    }
    for (int k = 0; k < 3; ++k) {
      voices[k]->pitches.push_back(k == target ? pitch : kRestCode);
    }
  }
}

}  // namespace tessavar
