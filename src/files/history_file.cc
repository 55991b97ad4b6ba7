#include "files/history_file.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "base/text.h"

namespace tessavar {
namespace {

constexpr std::string_view kMagic = "Tessavar Composer piece history ";
constexpr std::string_view kEntry = "piece ";
constexpr int64_t kMillisecondsPerSecond = 1000;
constexpr int64_t kSecondsPerMinute = 60;
constexpr int64_t kMinutesPerHour = 60;

// To the nearest second, halves away from zero, without overflow at the
// ends of the range.
int64_t RoundedSeconds(int64_t ms) {
  const int64_t seconds = ms / kMillisecondsPerSecond;
  const int64_t rest = ms % kMillisecondsPerSecond;
  if (2 * rest >= kMillisecondsPerSecond) return seconds + 1;
  if (2 * rest <= -kMillisecondsPerSecond) return seconds - 1;
  return seconds;
}

std::string Counted(const std::string& text) {
  return std::to_string(text.size()) + ":" + text + "\n";
}

// Reads the file front to back; any fault leaves `ok` false.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : rest_(bytes) {}

  bool AtEnd() const { return rest_.empty(); }
  bool Literal(std::string_view text) {
    if (!rest_.starts_with(text)) return false;
    rest_.remove_prefix(text.size());
    return true;
  }
  // A decimal number ended by `end`.
  std::optional<int64_t> Number(char end) {
    int64_t value = 0;
    auto [next, error] =
        std::from_chars(rest_.data(), rest_.data() + rest_.size(), value);
    if (error != std::errc() || next == rest_.data() ||
        next == rest_.data() + rest_.size() || *next != end) {
      return std::nullopt;
    }
    rest_.remove_prefix(next - rest_.data() + 1);
    return value;
  }
  // "<count>:<bytes>\n".
  std::optional<std::string> Text() {
    std::optional<int64_t> count = Number(':');
    if (!count || *count < 0 || static_cast<uint64_t>(*count) >= rest_.size() ||
        rest_[static_cast<size_t>(*count)] != '\n') {
      return std::nullopt;
    }
    std::string text(rest_.substr(0, static_cast<size_t>(*count)));
    rest_.remove_prefix(text.size() + 1);
    return text;
  }

 private:
  std::string_view rest_;
};

std::optional<HistoryRecord> ReadRecord(Reader& reader) {
  HistoryRecord record;
  std::optional<int64_t> time, starred, length;
  if (!reader.Literal(kEntry) || !(time = reader.Number(' ')) ||
      !(starred = reader.Number(' ')) || !(length = reader.Number('\n')) ||
      (*starred != 0 && *starred != 1)) {
    return std::nullopt;
  }
  record.time = *time;
  record.starred = *starred == 1;
  record.length_ms = *length;
  for (std::string* text : {&record.structure, &record.mapping, &record.tempo,
                            &record.composition}) {
    std::optional<std::string> read = reader.Text();
    if (!read) return std::nullopt;
    *text = std::move(*read);
  }
  return record;
}

Status Unusable(std::string why) {
  return Status(kErrInvalidPropertyValue, {}, 0, std::move(why));
}

}  // namespace

std::string HistoryFileBytes(const std::vector<HistoryRecord>& records) {
  std::string bytes(kMagic);
  bytes += std::to_string(kHistoryFormatVersion) + "\n";
  for (const HistoryRecord& record : records) {
    bytes += std::string(kEntry) + std::to_string(record.time) + " " +
             (record.starred ? "1" : "0") + " " +
             std::to_string(record.length_ms) + "\n";
    for (const std::string* text : {&record.structure, &record.mapping,
                                    &record.tempo, &record.composition}) {
      bytes += Counted(*text);
    }
  }
  return bytes;
}

Result<std::vector<HistoryRecord>> ParseHistoryFile(const std::string& bytes) {
  Reader reader(bytes);
  std::optional<int64_t> version;
  if (!reader.Literal(kMagic) || !(version = reader.Number('\n')) ||
      *version < 1) {
    return Unusable("it is not a piece history");
  }
  if (*version > kHistoryFormatVersion) {
    return Unusable("it was written by a newer version of the program");
  }
  std::vector<HistoryRecord> records;
  while (!reader.AtEnd()) {
    std::optional<HistoryRecord> record = ReadRecord(reader);
    if (!record) {
      return Unusable("it is damaged after piece " +
                      std::to_string(records.size()));
    }
    records.push_back(std::move(*record));
  }
  return records;
}

std::string HistoryLengthText(int64_t length_ms) {
  const int64_t seconds = RoundedSeconds(length_ms);
  const int64_t minutes = std::abs(seconds / kSecondsPerMinute);
  const std::string sign = seconds < 0 ? "-" : "";
  // A piece of an hour or more reads as the status line shows it: 2:17:39.
  const std::string clock = minutes < kMinutesPerHour
                                ? std::to_string(minutes)
                                : std::to_string(minutes / kMinutesPerHour) +
                                      ":" +
                                      TwoDigits(minutes % kMinutesPerHour);
  return sign + clock + ":" + TwoDigits(std::abs(seconds % kSecondsPerMinute));
}

}  // namespace tessavar
