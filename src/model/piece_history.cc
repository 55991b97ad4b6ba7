#include "model/piece_history.h"

#include <algorithm>
#include <utility>

#include "base/file_system.h"

namespace tessavar {

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
  std::string bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const RunTimeError& error) {
    return error.status().WithPath(path);
  }
  Result<std::vector<HistoryRecord>> records = ParseHistoryFile(bytes);
  if (!records.ok()) return records.status().WithPath(path);
  history.SetRecords(std::move(records).value());
  return {};
}

Status SaveHistoryFile(const PieceHistory& history, const std::string& path) {
  try {
    WriteFileAtomically(LowerCaseFileName(path),
                        HistoryFileBytes(history.Records()));
  } catch (const RunTimeError& error) {
    return error.status().WithPath(path);
  }
  return {};
}

}  // namespace tessavar
