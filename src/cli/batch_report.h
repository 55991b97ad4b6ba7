// What a run of many pieces tells while it runs: each piece's line on
// standard output in piece order whatever worker finished it, and a progress
// bar on standard error when that is a terminal; and the JSON line that
// describes a piece.
#ifndef TESSAVAR_CLI_BATCH_REPORT_H_
#define TESSAVAR_CLI_BATCH_REPORT_H_

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tessavar::cli {

class BatchReport {
 public:
  BatchReport(size_t pieces, std::ostream& out, std::ostream* progress);

  // The piece's line (empty = none), printed once all before it are.
  void Finished(size_t piece, std::string line);
  // Ends the progress bar's line.
  void Close();
  // True once standard output could not take a line (a closed pipe).
  bool OutputClosed() const { return output_closed_; }

 private:
  void DrawProgress();

  std::mutex mutex_;
  std::vector<std::optional<std::string>> lines_;
  size_t next_ = 0;
  size_t done_ = 0;
  std::atomic<bool> output_closed_{false};
  std::ostream& out_;
  std::ostream* progress_;  // null = no bar
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_draw_;
};

// What --json tells of one piece.
struct PieceJson {
  size_t number = 0;  // the piece's place in the whole batch
  std::string output;
  // NAME and VALUE of the settings that differ from the composition's.
  std::vector<std::pair<std::string, std::string>> settings;
  // NAME and VALUE of the mapped parameters the composer chose.
  std::vector<std::pair<std::string, std::string>> mapped;
  int tracks = 0;
  long notes_and_rests = 0;
  double seconds = 0;
};

// One JSON object on one line, ending with a line feed. Text that is not
// valid UTF-8 (a file name or a structure read from a file) is written with
// U+FFFD in place of the bad bytes instead of failing.
std::string PieceJsonLine(const PieceJson& piece);

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_BATCH_REPORT_H_
