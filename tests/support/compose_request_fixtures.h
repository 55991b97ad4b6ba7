// Requests and hooks for composer tests: the request of the factory panel
// with "Auto" on, and a hook that records what the composer reported and
// can look at the score at every yield.
#ifndef TESSAVAR_TESTS_SUPPORT_COMPOSE_REQUEST_FIXTURES_H_
#define TESSAVAR_TESTS_SUPPORT_COMPOSE_REQUEST_FIXTURES_H_

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/compose_hook.h"
#include "engine/compose_request.h"
#include "engine/score.h"

namespace tessavar::testing {

// The mapped boxes at their initial spinner positions.
inline constexpr MappedArray<double> kInitialMappedValues = {
    {1, 1, 0, 1, 1, 13, 13, 0, 0, 0, 0, 1, 1, 1}};

// Structure "1234567890123456", mapping 32767, variation 5, 6 tracks, the
// first entry of every list, "Auto" on; every track at octave base 48,
// volume 100, no tie, instrument = track number.
inline ComposeRequest DefaultRequest() {
  ComposeRequest request;
  request.structure = "1234567890123456";
  request.mapping = 32767;
  request.variation = 5;
  request.tracks = 6;
  request.tonality = request.smoothing = request.meter = request.fade = 0;
  request.mapped_auto = true;
  request.mapped = kInitialMappedValues;
  for (int t = 0; t < kTrackCount; ++t) {
    request.track_rows[t] = {false, 100, 48, t};
  }
  return request;
}

// Counts yields and calls `on_yield` at each; keeps the reports.
class RecordingComposeHook : public ComposeHook {
 public:
  explicit RecordingComposeHook(std::function<void()> on_yield = nullptr)
      : on_yield_(std::move(on_yield)) {}
  void Yield() override {
    ++yields;
    if (on_yield_) on_yield_();
  }
  void ComposingStarted() override { reports.push_back("started"); }
  void MappedValuesDrawn(const MappedBoxValues& values) override {
    reports.push_back("drawn");
    drawn.push_back(values);
  }
  void MappedValuesFixed() override { reports.push_back("fixed"); }
  bool StopRequested() const override { return stop; }

  int yields = 0;
  bool stop = false;
  std::vector<std::string> reports;
  std::vector<MappedBoxValues> drawn;

 private:
  std::function<void()> on_yield_;
};

// Sum of the durations of a track's events below a slot.
inline long ElapsedTime(const Score& score, int track, int below_slot) {
  long total = 0;
  for (int slot = 0; slot < below_slot; ++slot) {
    total += score.Get(track, slot).duration;
  }
  return total;
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_COMPOSE_REQUEST_FIXTURES_H_
