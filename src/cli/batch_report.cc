#include "cli/batch_report.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace tessavar::cli {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kBarWidth = 30;

nlohmann::ordered_json JsonObject(
    const std::vector<std::pair<std::string, std::string>>& entries) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const auto& [name, value] : entries) object[name] = value;
  return object;
}

}  // namespace

BatchReport::BatchReport(size_t pieces, std::ostream& out,
                         std::ostream* progress)
    : lines_(pieces),
      out_(out),
      progress_(progress),
      start_(std::chrono::steady_clock::now()),
      last_draw_(start_) {}

void BatchReport::Finished(size_t piece, std::string line) {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_[piece] = std::move(line);
  ++done_;
  for (; next_ < lines_.size() && lines_[next_]; ++next_) {
    out_ << *lines_[next_];
    lines_[next_] = std::string();  // keeps its place, frees the text
  }
  out_.flush();
  if (!out_) output_closed_ = true;
  DrawProgress();
}

void BatchReport::DrawProgress() {
  if (!progress_) return;
  auto now = std::chrono::steady_clock::now();
  if (done_ != lines_.size() && now - last_draw_ < kRedrawInterval) return;
  last_draw_ = now;
  double seconds = std::chrono::duration<double>(now - start_).count();
  double rate = seconds > 0 ? done_ / seconds : 0;
  double left = rate > 0 ? (lines_.size() - done_) / rate : 0;
  int filled = static_cast<int>(kBarWidth * done_ / lines_.size());
  char text[128];
  std::snprintf(text, sizeof text, "\r[%s%s] %zu/%zu  %.0f/s  %.0f s left ",
                std::string(filled, '#').c_str(),
                std::string(kBarWidth - filled, ' ').c_str(), done_,
                lines_.size(), rate, left);
  *progress_ << text << std::flush;
}

void BatchReport::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (progress_ && done_ > 0) *progress_ << "\n";
}

std::string PieceJsonLine(const PieceJson& piece) {
  nlohmann::ordered_json line;
  line["piece"] = piece.number;
  line["output"] = piece.output;
  line["settings"] = JsonObject(piece.settings);
  line["mapped"] = JsonObject(piece.mapped);
  line["tracks"] = piece.tracks;
  line["notes_and_rests"] = piece.notes_and_rests;
  line["seconds"] = piece.seconds;
  return line.dump(-1, ' ', false,
                   nlohmann::ordered_json::error_handler_t::replace) +
         "\n";
}

}  // namespace tessavar::cli
