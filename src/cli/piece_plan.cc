#include "cli/piece_plan.h"

#include <charconv>
#include <cstdint>
#include <unordered_set>

namespace tessavar::cli {
namespace {

constexpr char kAllMappings[] = "all";
constexpr int kFirstMapping = 1;
constexpr int kLastMapping = 32767;
constexpr char kRangeDots[] = "..";
constexpr char kParentDirectory[] = "..";

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::optional<int64_t> ParseWhole(const std::string& text) {
  int64_t value = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() ||
      end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::string TooManyValues() {
  return "the list holds more than " + std::to_string(kMaxPieces) +
         " values, the most one run composes";
}

bool AppendRange(const std::string& item, std::vector<std::string>& values,
                 std::string* problem) {
  size_t dots = item.find(kRangeDots);
  std::optional<int64_t> first = ParseWhole(item.substr(0, dots));
  std::optional<int64_t> last = ParseWhole(item.substr(dots + 2));
  if (!first || !last || *last < *first) {
    *problem = "'" + item + "' is not a range FIRST..LAST of whole numbers";
    return false;
  }
  // Unsigned, so that the widest ranges cannot overflow.
  const uint64_t length =
      static_cast<uint64_t>(*last) - static_cast<uint64_t>(*first) + 1;
  if (length == 0 || length > kMaxPieces - values.size()) {
    *problem = TooManyValues();
    return false;
  }
  for (int64_t value = *first;; ++value) {
    values.push_back(std::to_string(value));
    if (value == *last) return true;
  }
}

// The values in their order, each once.
std::vector<std::string> Distinct(const std::vector<std::string>& values) {
  std::vector<std::string> distinct;
  std::unordered_set<std::string> seen;
  for (const std::string& value : values) {
    if (seen.insert(value).second) distinct.push_back(value);
  }
  return distinct;
}

}  // namespace

const char* AxisName(Axis axis) {
  switch (axis) {
    case Axis::kMapping:
      return "mapping";
    case Axis::kStructure:
      return "structure";
    case Axis::kTempo:
      return "tempo";
  }
  return "";
}

std::string Placeholder(Axis axis) {
  return std::string("{") + AxisName(axis) + "}";
}

std::optional<std::vector<std::string>> ExpandValues(Axis axis,
                                                     const std::string& list,
                                                     std::string* problem) {
  std::vector<std::string> values;
  for (const std::string& item : Split(list, ',')) {
    if (axis == Axis::kMapping && item == kAllMappings) {
      if (!AppendRange(std::to_string(kFirstMapping) + kRangeDots +
                           std::to_string(kLastMapping),
                       values, problem)) {
        return std::nullopt;
      }
    } else if (item.find(kRangeDots) != std::string::npos) {
      if (!AppendRange(item, values, problem)) return std::nullopt;
    } else if (item.empty()) {
      *problem = "the list '" + list + "' holds an empty value";
      return std::nullopt;
    } else if (values.size() < kMaxPieces) {
      values.push_back(item);
    } else {
      *problem = TooManyValues();
      return std::nullopt;
    }
  }
  return values;
}

std::optional<PiecePlan> PlanPieces(
    const std::array<std::vector<std::string>, kAxes.size()>& values,
    std::string* problem) {
  std::array<std::vector<std::string>, kAxes.size()> distinct;
  uint64_t count = 1;  // at most kMaxPieces cubed: no overflow
  for (size_t axis = 0; axis < kAxes.size(); ++axis) {
    distinct[axis] = Distinct(values[axis]);
    if (!distinct[axis].empty()) count *= distinct[axis].size();
  }
  if (count > kMaxPieces) {
    *problem = "the lists make " + std::to_string(count) +
               " pieces; one run composes at most " +
               std::to_string(kMaxPieces);
    return std::nullopt;
  }
  PiecePlan plan;
  plan.pieces.reserve(count);
  plan.pieces.push_back({});
  for (size_t axis = kAxes.size(); axis-- > 0;) {
    if (distinct[axis].empty()) continue;
    plan.varies[axis] = distinct[axis].size() > 1;
    std::vector<Piece> grown;
    grown.reserve(count);
    for (const Piece& piece : plan.pieces) {
      for (const std::string& value : distinct[axis]) {
        grown.push_back(piece);
        grown.back().values[axis] = value;
      }
    }
    plan.pieces = std::move(grown);
  }
  for (size_t i = 0; i < plan.pieces.size(); ++i) plan.pieces[i].number = i;
  return plan;
}

void KeepShard(PiecePlan& plan, size_t shard, size_t count) {
  std::erase_if(plan.pieces, [shard, count](const Piece& piece) {
    return piece.number % count != shard;
  });
}

std::optional<std::string> PatternProblem(const std::string& pattern,
                                          const PiecePlan& plan) {
  for (Axis axis : kAxes) {
    std::string placeholder = Placeholder(axis);
    if (plan.varies[static_cast<size_t>(axis)] &&
        pattern.find(placeholder) == std::string::npos) {
      return "several " + std::string(AxisName(axis)) +
             " values would all be written to '" + pattern + "'; put " +
             placeholder + " in the output name";
    }
  }
  return std::nullopt;
}

std::optional<std::string> PlaceholderValueProblem(const std::string& value) {
  if (value.find('/') != std::string::npos) return "it holds a '/'";
  if (value.find('\0') != std::string::npos) return "it holds a NUL";
  if (value.rfind(kParentDirectory, 0) == 0) return "it starts with '..'";
  return std::nullopt;
}

std::string ExpandPattern(const std::string& pattern, const Piece& piece) {
  std::string name;
  name.reserve(pattern.size());
  for (size_t at = 0; at < pattern.size();) {
    bool replaced = false;
    for (Axis axis : kAxes) {
      if (pattern[at] != '{') break;
      const std::string& value = piece.Value(axis);
      const std::string placeholder = Placeholder(axis);
      if (!value.empty() &&
          pattern.compare(at, placeholder.size(), placeholder) == 0) {
        name += value;
        at += placeholder.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) name += pattern[at++];
  }
  return name;
}

}  // namespace tessavar::cli
