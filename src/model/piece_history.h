// The pieces composed so far, oldest first: what each was composed from and,
// for the pieces of this session, its exact settings and the MIDI file's
// bytes, so that choosing one brings it back without composing. The last
// pieces and every starred one are kept across restarts in the program
// directory (without their MIDI bytes: those pieces are composed again,
// which gives the same bytes).
#ifndef TESSAVAR_MODEL_PIECE_HISTORY_H_
#define TESSAVAR_MODEL_PIECE_HISTORY_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "files/history_file.h"
#include "model/panel_snapshot.h"

namespace tessavar {

// Unstarred pieces kept (in memory and in the file).
inline constexpr size_t kHistoryKept = 200;
// MIDI bytes kept in memory for all pieces together; older pieces beyond it
// are composed again when chosen.
inline constexpr size_t kHistoryMidiBudget = size_t{64} << 20;
inline constexpr char kHistoryFileName[] = "tvx-history.txt";

struct PieceEntry {
  HistoryRecord record;
  std::optional<PanelSnapshot> settings;  // as composed, in this session
  std::string midi;                       // empty: compose again
};

class PieceHistory {
 public:
  const std::vector<PieceEntry>& entries() const { return entries_; }
  size_t size() const { return entries_.size(); }

  // Adds the newest piece; the oldest unstarred pieces beyond the kept
  // number go, and so do the MIDI bytes beyond the budget.
  void Add(PieceEntry entry);
  // A piece composed again because its MIDI bytes had gone: the entry
  // takes the new settings and bytes and keeps its place, time and star.
  void Renew(size_t index, PieceEntry entry);
  void SetStarred(size_t index, bool starred);

  // What the history file holds, and the pieces read from one.
  std::vector<HistoryRecord> Records() const;
  void SetRecords(std::vector<HistoryRecord> records);

 private:
  void Trim();
  std::vector<PieceEntry> entries_;
};

// The history file of a program directory.
std::string HistoryFilePath(const std::string& program_directory);

// Reads the history file; a missing file is an empty history. A damaged
// file, or one from a newer version, is not used: the history stays as it
// was and the status says why.
Status LoadHistoryFile(PieceHistory& history, const std::string& path);
// Writes the history file atomically, merged with the file on disk: the
// pieces the file holds and the history does not are kept (a file that
// cannot be read is left as it is, and the status says why).
Status SaveHistoryFile(const PieceHistory& history, const std::string& path);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PIECE_HISTORY_H_
