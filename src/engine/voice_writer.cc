#include "engine/voice_writer.h"

#include <cmath>
#include <span>

#include "engine/text_number.h"

namespace tessavar {
namespace {

// Rounds a single-precision value half to even (exact in double).
int CIntFloat(float x) { return ToInt(CInt(static_cast<double>(x))); }

// A note's velocity before the fades. Single precision throughout, so
// that the same velocities come out on every machine.
int AccentedVelocity(int volume, float accent, int duration) {
  const float vol = static_cast<float>(volume);
  if (accent < 0.0f) return CIntFloat(0.75f * vol);
  // Durations 2 to 16 map linearly onto 0 to 1.
  float f = (static_cast<float>(duration) - 2.0f) / 14.0f;
  if (f < 0.0f) f = 0.0f;
  if (f > 1.0f) f = 1.0f;
  if (accent >= 0.5f) f = 1.0f - f;
  const float g = std::sqrt(2.0f * std::fabs(accent - 0.5f));
  f = g * (f - 0.5f) + 0.5f;
  return CIntFloat(f * (0.51f * vol) + 0.49f * vol);
}

int FadedVelocity(const EngineState& state, int velocity, int i, int n) {
  const float r = static_cast<float>(i) / static_cast<float>(n + 1);
  const float in_start = static_cast<float>(state.fade_in_start);
  const float in_end = static_cast<float>(state.fade_in_end);
  const float out_start = static_cast<float>(state.fade_out_start);
  const float out_end = static_cast<float>(state.fade_out_end);
  int v = CIntFloat((in_start + r * (in_end - in_start)) *
                    static_cast<float>(velocity));
  v = CIntFloat((out_start - r * (out_start - out_end)) *
                static_cast<float>(v));
  return v;
}

}  // namespace

VoiceString TransposeVoice(const VoiceString& voice, int t) {
  if (voice.empty()) return {};
  t %= 12;
  VoiceString result = voice;
  for (int& c : result.pitches) {
    if (c < kRestCode)
      c += t;
    else
      c = kRestCode;
  }
  return result;
}

void WriteVoiceToScore(EngineState& state, const VoiceString& voice,
                       int transposition, int track, int start, double accent,
                       int volume) {
  if (voice.empty() || track < 0 || start < 0) return;
  const VoiceString s = TransposeVoice(voice, transposition);
  const int n = static_cast<int>(s.size());
  const float accent_f = static_cast<float>(accent);
  const std::span<ScoreEvent> slots = state.score.Slots(track, start, n);
  for (int i = 1; i <= n; ++i) {
    ScoreEvent& event = slots[i - 1];
    const int code = s.pitches[i - 1];
    const int dur = s.durations[i - 1];
    if (code != kRestCode) {
      int p = code;
      while (p >= 24) p -= 12;
      event.pitch = p;
      const int v = AccentedVelocity(volume, accent_f, dur);
      event.velocity = FadedVelocity(state, v, i, n);
    } else {
      event.pitch = 0;
      event.velocity = 0;
    }
    // Durations stay in half units so that odd codes keep the tracks
    // aligned.
    event.duration = dur;
  }
}

}  // namespace tessavar
