#include "model/piece_history.h"

#include <algorithm>
#include <utility>

#include "base/file_system.h"

namespace tessavar {
namespace {

// A piece is the same piece in two histories when it was composed at the
// same second from the same composition.
bool SamePiece(const HistoryRecord& a, const HistoryRecord& b) {
  return a.time == b.time && a.composition == b.composition;
}

// Ours, and the pieces of the file that ours does not hold, in the order
// they were composed and within the history's bounds. Where both hold a
// piece, ours wins (its star is the last the user set here).
std::vector<HistoryRecord> Merged(std::vector<HistoryRecord> ours,
                                  const std::vector<HistoryRecord>& on_disk) {
  for (const HistoryRecord& record : on_disk) {
    if (std::none_of(ours.begin(), ours.end(), [&](const HistoryRecord& own) {
          return SamePiece(own, record);
        })) {
      ours.push_back(record);
    }
  }
  std::stable_sort(ours.begin(), ours.end(),
                   [](const HistoryRecord& a, const HistoryRecord& b) {
                     return a.time < b.time;
                   });
  PieceHistory bounded;
  bounded.SetRecords(std::move(ours));
  return bounded.Records();
}

Result<std::vector<HistoryRecord>> ReadHistoryRecords(const std::string& path) {
  std::string bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const RunTimeError& error) {
    return error.status().WithPath(path);
  }
  Result<std::vector<HistoryRecord>> records = ParseHistoryFile(bytes);
  if (!records.ok()) return records.status().WithPath(path);
  return records;
}

}  // namespace

void PieceHistory::Add(PieceEntry entry) {
  entries_.push_back(std::move(entry));
  Trim();
}

void PieceHistory::Renew(size_t index, PieceEntry entry) {
  if (index >= entries_.size()) return;
  entries_[index].settings = std::move(entry.settings);
  entries_[index].midi = std::move(entry.midi);
  Trim();
}

void PieceHistory::SetStarred(size_t index, bool starred) {
  if (index >= entries_.size()) return;
  entries_[index].record.starred = starred;
  Trim();
}

void PieceHistory::Trim() {
  const auto unstarred = static_cast<size_t>(
      std::count_if(entries_.begin(), entries_.end(),
                    [](const PieceEntry& e) { return !e.record.starred; }));
  size_t surplus = unstarred > kHistoryKept ? unstarred - kHistoryKept : 0;
  std::erase_if(entries_, [&surplus](const PieceEntry& e) {
    if (surplus == 0 || e.record.starred) return false;
    --surplus;
    return true;
  });
  size_t bytes = 0;
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    bytes += it->midi.size();
    if (bytes > kHistoryMidiBudget) std::string().swap(it->midi);
  }
}

std::vector<HistoryRecord> PieceHistory::Records() const {
  std::vector<HistoryRecord> records;
  records.reserve(entries_.size());
  for (const PieceEntry& entry : entries_) {
    if (!entry.record.composition.empty()) records.push_back(entry.record);
  }
  return records;
}

void PieceHistory::SetRecords(std::vector<HistoryRecord> records) {
  entries_.clear();
  for (HistoryRecord& record : records) {
    entries_.push_back({std::move(record), std::nullopt, {}});
  }
  Trim();
}

std::string HistoryFilePath(const std::string& program_directory) {
  return program_directory + kHistoryFileName;
}

Status LoadHistoryFile(PieceHistory& history, const std::string& path) {
  if (!FileExists(path)) return {};
  Result<std::vector<HistoryRecord>> records = ReadHistoryRecords(path);
  if (!records.ok()) return records.status();
  history.SetRecords(std::move(records).value());
  return {};
}

Status SaveHistoryFile(const PieceHistory& history, const std::string& path) {
  std::vector<HistoryRecord> records = history.Records();
  // Whatever another writer put there since it was read stays.
  if (FileExists(path)) {
    Result<std::vector<HistoryRecord>> on_disk = ReadHistoryRecords(path);
    if (!on_disk.ok()) return on_disk.status();
    records = Merged(std::move(records), on_disk.value());
  }
  try {
    WriteFileAtomically(LowerCaseFileName(path), HistoryFileBytes(records));
  } catch (const RunTimeError& error) {
    return error.status().WithPath(path);
  }
  return {};
}

}  // namespace tessavar
