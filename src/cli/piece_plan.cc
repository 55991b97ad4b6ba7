#include "cli/piece_plan.h"

#include <charconv>
#include <cstdint>

namespace tessavar::cli {
namespace {

constexpr char kAllMappings[] = "all";
constexpr int kFirstMapping = 1;
constexpr int kLastMapping = 32767;
// A range longer than this is a typing mistake, not a plan.
constexpr int64_t kMaxRangeLength = 1'000'000;

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

bool AppendRange(const std::string& item, std::vector<std::string>& values,
                 std::string* problem) {
  size_t dots = item.find("..");
  std::optional<int64_t> first = ParseWhole(item.substr(0, dots));
  std::optional<int64_t> last = ParseWhole(item.substr(dots + 2));
  if (!first || !last || *last < *first || *last - *first >= kMaxRangeLength) {
    *problem = "'" + item + "' is not a range FIRST..LAST of whole numbers";
    return false;
  }
  for (int64_t value = *first; value <= *last; ++value) {
    values.push_back(std::to_string(value));
  }
  return true;
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

std::optional<std::vector<std::string>> ExpandValues(Axis axis,
                                                     const std::string& list,
                                                     std::string* problem) {
  std::vector<std::string> values;
  for (const std::string& item : Split(list, ',')) {
    if (axis == Axis::kMapping && item == kAllMappings) {
      AppendRange(
          std::to_string(kFirstMapping) + ".." + std::to_string(kLastMapping),
          values, problem);
    } else if (item.find("..") != std::string::npos) {
      if (!AppendRange(item, values, problem)) return std::nullopt;
    } else {
      values.push_back(item);
    }
  }
  return values;
}

PiecePlan PlanPieces(
    const std::array<std::vector<std::string>, kAxes.size()>& values) {
  PiecePlan plan;
  plan.pieces.push_back({});
  for (size_t axis = kAxes.size(); axis-- > 0;) {
    if (values[axis].empty()) continue;
    plan.varies[axis] = values[axis].size() > 1;
    std::vector<Piece> grown;
    grown.reserve(plan.pieces.size() * values[axis].size());
    for (const Piece& piece : plan.pieces) {
      for (const std::string& value : values[axis]) {
        grown.push_back(piece);
        grown.back().values[axis] = value;
      }
    }
    plan.pieces = std::move(grown);
  }
  return plan;
}

std::optional<std::string> PatternProblem(const std::string& pattern,
                                          const PiecePlan& plan) {
  for (Axis axis : kAxes) {
    std::string placeholder = std::string("{") + AxisName(axis) + "}";
    if (plan.varies[static_cast<size_t>(axis)] &&
        pattern.find(placeholder) == std::string::npos) {
      return "several " + std::string(AxisName(axis)) +
             " values would all be written to '" + pattern + "'; put " +
             placeholder + " in the output name";
    }
  }
  return std::nullopt;
}

std::string ExpandPattern(const std::string& pattern, const Piece& piece) {
  std::string name = pattern;
  for (Axis axis : kAxes) {
    const std::string& value = piece.Value(axis);
    if (value.empty()) continue;
    std::string placeholder = std::string("{") + AxisName(axis) + "}";
    for (size_t at = name.find(placeholder); at != std::string::npos;
         at = name.find(placeholder, at + value.size())) {
      name.replace(at, placeholder.size(), value);
    }
  }
  return name;
}

}  // namespace tessavar::cli
