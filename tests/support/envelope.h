// Loudness envelopes of audio, to compare what a server played with the
// offline render of the same file without caring for the exact samples.
#ifndef TESSAVAR_TESTS_SUPPORT_ENVELOPE_H_
#define TESSAVAR_TESTS_SUPPORT_ENVELOPE_H_

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tessavar::testing {

inline constexpr int kEnvelopeWindowMs = 20;

// RMS of each window of interleaved stereo samples.
inline std::vector<double> Envelope(const std::vector<int16_t>& samples,
                                    int rate) {
  const size_t window = static_cast<size_t>(rate) * kEnvelopeWindowMs / 1000;
  std::vector<double> envelope;
  for (size_t frame = 0; (frame + window) * 2 <= samples.size();
       frame += window) {
    double sum = 0;
    for (size_t i = frame * 2; i < (frame + window) * 2; ++i) {
      const double sample = samples[i];
      sum += sample * sample;
    }
    envelope.push_back(std::sqrt(sum / (window * 2)));
  }
  return envelope;
}

struct EnvelopeMatch {
  double correlation = -1;  // Pearson, at the best offset
  size_t offset = 0;        // windows of the recording before the render's
  double level = 0;         // recorded RMS over rendered RMS
  int longest_hole_ms = 0;  // silent in the recording, sounding in the render
};

inline double Correlation(const std::vector<double>& a,
                          const std::vector<double>& b, size_t offset) {
  const size_t n = a.size();
  double mean_a = 0, mean_b = 0;
  for (size_t i = 0; i < n; ++i) {
    mean_a += a[i];
    mean_b += b[offset + i];
  }
  mean_a /= n;
  mean_b /= n;
  double ab = 0, aa = 0, bb = 0;
  for (size_t i = 0; i < n; ++i) {
    const double x = a[i] - mean_a, y = b[offset + i] - mean_b;
    ab += x * y;
    aa += x * x;
    bb += y * y;
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

// The render found in the recording: where it correlates best, how loud it
// is there, and the longest stretch where the render sounds and the
// recording is (nearly) silent.
inline EnvelopeMatch MatchEnvelopes(const std::vector<double>& render,
                                    const std::vector<double>& recording) {
  EnvelopeMatch match;
  if (render.empty() || recording.size() < render.size()) return match;
  for (size_t offset = 0; offset + render.size() <= recording.size();
       ++offset) {
    const double c = Correlation(render, recording, offset);
    if (c > match.correlation) {
      match.correlation = c;
      match.offset = offset;
    }
  }
  const double render_peak = *std::max_element(render.begin(), render.end());
  double render_sum = 0, recording_sum = 0;
  int hole = 0;
  for (size_t i = 0; i < render.size(); ++i) {
    const double recorded = recording[match.offset + i];
    render_sum += render[i];
    recording_sum += recorded;
    const bool silent = recorded < render[i] * 0.05;
    hole = render[i] > render_peak * 0.1 && silent ? hole + 1 : 0;
    match.longest_hole_ms =
        std::max(match.longest_hole_ms, hole * kEnvelopeWindowMs);
  }
  match.level = render_sum > 0 ? recording_sum / render_sum : 0;
  return match;
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_ENVELOPE_H_
