// What a run of many pieces tells while it runs: each piece's line on
// standard output in piece order whatever worker finished it, and a progress
// bar on standard error when that is a terminal.
#ifndef TESSAVAR_CLI_BATCH_REPORT_H_
#define TESSAVAR_CLI_BATCH_REPORT_H_

#include <chrono>
#include <cstddef>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tessavar::cli {

class BatchReport {
 public:
  BatchReport(size_t pieces, std::ostream& out, std::ostream* progress);

  // The piece's line (empty = none), printed once all before it are.
  void Finished(size_t piece, std::string line);
  // Ends the progress bar's line.
  void Close();

 private:
  void DrawProgress();

  std::mutex mutex_;
  std::vector<std::optional<std::string>> lines_;
  size_t next_ = 0;
  size_t done_ = 0;
  std::ostream& out_;
  std::ostream* progress_;  // null = no bar
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_draw_;
};

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_BATCH_REPORT_H_
