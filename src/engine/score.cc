#include "engine/score.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <stdexcept>

namespace tessavar {
namespace {

// Blocks start small, for short pieces, and double up to this size.
constexpr size_t kFirstBlockEvents = 4096;
constexpr size_t kLargestBlockEvents = 65536;

}  // namespace

void Score::ThrowOutOfRange() {
  throw std::out_of_range("score slot out of range");
}

void Score::Track::Clear() {
  runs_.clear();
  for (auto& block : blocks_) block.clear();
  current_block_ = 0;
}

ScoreEvent* Score::Track::Allocate(int count) {
  const size_t needed = static_cast<size_t>(count);
  for (; current_block_ < blocks_.size(); ++current_block_) {
    std::vector<ScoreEvent>& block = blocks_[current_block_];
    if (block.capacity() - block.size() >= needed) {
      const size_t at = block.size();
      block.resize(at + needed);  // within the capacity: nothing moves
      return block.data() + at;
    }
  }
  const size_t previous =
      blocks_.empty() ? kFirstBlockEvents / 2 : blocks_.back().capacity();
  const size_t capacity =
      std::max(needed, std::min(2 * previous, kLargestBlockEvents));
  blocks_.emplace_back();
  blocks_.back().reserve(capacity);
  blocks_.back().resize(needed);
  current_block_ = blocks_.size() - 1;
  return blocks_.back().data();
}

std::span<ScoreEvent> Score::Track::InsertRun(size_t position, int first,
                                              int count) {
  ScoreEvent* events = Allocate(count);
  runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(position),
               StoredRun{first, count, events});
  return {events, static_cast<size_t>(count)};
}

std::span<ScoreEvent> Score::Track::MergeRuns(int first, int count) {
  const int end = first + count;
  auto begin = std::partition_point(
      runs_.begin(), runs_.end(),
      [first](const StoredRun& run) { return run.end() <= first; });
  auto stop = std::partition_point(
      begin, runs_.end(),
      [end](const StoredRun& run) { return run.first < end; });
  const int merged_first = std::min(first, begin->first);
  const int merged_end = std::max(end, std::prev(stop)->end());
  ScoreEvent* events = Allocate(merged_end - merged_first);
  for (auto run = begin; run != stop; ++run) {
    std::copy(run->events, run->events + run->count,
              events + (run->first - merged_first));
  }
  const StoredRun merged{merged_first, merged_end - merged_first, events};
  const auto at = runs_.erase(begin, stop);
  runs_.insert(at, merged);
  return {events + (first - merged_first), static_cast<size_t>(count)};
}

std::span<ScoreEvent> Score::Track::Slots(int first, int count) {
  if (count == 0) return {};
  const int end = first + count;
  if (runs_.empty() || first >= runs_.back().end()) {
    // The composer's case: after everything written so far. Right after the
    // last run, that run grows when its block has room behind it.
    if (!runs_.empty() && first == runs_.back().end() &&
        current_block_ < blocks_.size()) {
      StoredRun& last = runs_.back();
      std::vector<ScoreEvent>& block = blocks_[current_block_];
      if (last.events + last.count == block.data() + block.size() &&
          block.capacity() - block.size() >= static_cast<size_t>(count)) {
        ScoreEvent* events = Allocate(count);
        last.count += count;
        return {events, static_cast<size_t>(count)};
      }
    }
    return InsertRun(runs_.size(), first, count);
  }
  // The first run that ends after `first`.
  const auto run = std::partition_point(
      runs_.begin(), runs_.end(),
      [first](const StoredRun& r) { return r.end() <= first; });
  if (run->first <= first && end <= run->end()) {
    return {run->events + (first - run->first), static_cast<size_t>(count)};
  }
  if (end <= run->first) {
    return InsertRun(static_cast<size_t>(run - runs_.begin()), first, count);
  }
  return MergeRuns(first, count);
}

ScoreEvent Score::Track::Get(int slot) const {
  const auto after = std::partition_point(
      runs_.begin(), runs_.end(),
      [slot](const StoredRun& run) { return run.first <= slot; });
  if (after == runs_.begin()) return {};
  const StoredRun& run = *std::prev(after);
  if (slot >= run.end()) return {};
  return run.events[slot - run.first];
}

void Score::Clear() {
  for (auto& track : tracks_) track.Clear();
}

std::span<ScoreEvent> Score::Slots(int track, int first, int count) {
  if (track < 0 || track >= kTrackCount || first < 0 || count < 0 ||
      static_cast<int64_t>(first) + count > INT_MAX) {
    ThrowOutOfRange();
  }
  return tracks_[track].Slots(first, count);
}

ScoreEvent Score::Get(int track, int slot) const {
  if (track < 0 || track >= kTrackCount || slot < 0) return {};
  return tracks_[track].Get(slot);
}

int Score::SlotCount(int track) const {
  if (track < 0 || track >= kTrackCount) return 0;
  return tracks_[track].SlotCount();
}

int Score::EventCount(int track) const {
  int count = 0;
  for (int r = 0; r < RunCount(track); ++r) {
    for (const ScoreEvent& event : RunAt(track, r).events) {
      if (event.duration > 0) ++count;
    }
  }
  return count;
}

int Score::RunCount(int track) const {
  if (track < 0 || track >= kTrackCount) return 0;
  return static_cast<int>(tracks_[track].runs().size());
}

Score::Run Score::RunAt(int track, int index) const {
  if (index < 0 || index >= RunCount(track)) ThrowOutOfRange();
  const StoredRun& run = tracks_[track].runs()[index];
  return {run.first, {run.events, static_cast<size_t>(run.count)}};
}

std::span<ScoreEvent> Score::MutableRun(int track, int index) {
  if (index < 0 || index >= RunCount(track)) ThrowOutOfRange();
  const StoredRun& run = tracks_[track].runs()[index];
  return {run.events, static_cast<size_t>(run.count)};
}

int Score::UsedLength() const {
  int used = 0;
  for (const Track& track : tracks_) {
    const std::vector<StoredRun>& runs = track.runs();
    for (auto run = runs.rbegin(); run != runs.rend() && run->end() > used;
         ++run) {
      int slot = run->end() - 1;
      for (; slot >= std::max(run->first, used); --slot) {
        if (run->events[slot - run->first].duration > 0) break;
      }
      if (slot >= std::max(run->first, used)) {
        used = slot + 1;
        break;
      }
    }
  }
  return used;
}

}  // namespace tessavar
