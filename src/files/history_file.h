// The piece history file: the pieces composed in earlier sessions, each
// with the time it was composed, its star, its length and the composition
// file's text that composes it again exactly. A first line names the format
// and its version; every text is written with its byte count in front, so
// any text (line ends included) reads back unchanged.
#ifndef TESSAVAR_FILES_HISTORY_FILE_H_
#define TESSAVAR_FILES_HISTORY_FILE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"

namespace tessavar {

inline constexpr int kHistoryFormatVersion = 1;

struct HistoryRecord {
  int64_t time = 0;  // seconds since 1970
  bool starred = false;
  int64_t length_ms = 0;
  std::string structure;
  std::string mapping;
  std::string tempo;
  std::string composition;  // the composition file's bytes
  friend bool operator==(const HistoryRecord&, const HistoryRecord&) = default;
};

std::string HistoryFileBytes(const std::vector<HistoryRecord>& records);

// A piece's length as the history shows it, "m:ss" to the nearest second;
// any length a file can hold gives a text.
std::string HistoryLengthText(int64_t length_ms);

// The records of a history file, or a status whose detail says why the file
// cannot be used (damaged, or written by a newer version).
Result<std::vector<HistoryRecord>> ParseHistoryFile(const std::string& bytes);

}  // namespace tessavar

#endif  // TESSAVAR_FILES_HISTORY_FILE_H_
