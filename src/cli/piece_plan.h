// Many pieces in one run: lists and ranges of values for the mapping, the
// structure and the tempo, and the output pattern that names each piece's
// file.
#ifndef TESSAVAR_CLI_PIECE_PLAN_H_
#define TESSAVAR_CLI_PIECE_PLAN_H_

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tessavar::cli {

// The settings that may take several values, with their placeholders.
enum class Axis { kMapping, kStructure, kTempo };
inline constexpr std::array<Axis, 3> kAxes = {Axis::kMapping, Axis::kStructure,
                                              Axis::kTempo};
const char* AxisName(Axis axis);     // "mapping": setting and placeholder
std::string Placeholder(Axis axis);  // "{mapping}"

// The most pieces one run composes: a larger plan is a typing mistake, and
// its list alone would take gigabytes.
inline constexpr size_t kMaxPieces = 1'000'000;

// "5", "1,4,9", "1..500", "1..10,20", and for the mapping "all"; each value
// is kept as typed (a structure's leading zeros count). nullopt with
// *problem set for a malformed list or one of more than kMaxPieces values.
std::optional<std::vector<std::string>> ExpandValues(Axis axis,
                                                     const std::string& list,
                                                     std::string* problem);

// One piece: a value for every axis that was given (empty = as composed).
struct Piece {
  std::array<std::string, kAxes.size()> values;
  size_t number = 0;  // its place in the whole plan, from 0
  const std::string& Value(Axis axis) const {
    return values[static_cast<size_t>(axis)];
  }
};

struct PiecePlan {
  std::vector<Piece> pieces;                // in order: mapping varies fastest
  std::array<bool, kAxes.size()> varies{};  // more than one value
};

// Every combination of the values, a value listed twice counting once.
// nullopt with *problem set when that makes more than kMaxPieces pieces.
std::optional<PiecePlan> PlanPieces(
    const std::array<std::vector<std::string>, kAxes.size()>& values,
    std::string* problem);

// Keeps the pieces of one shard of `count`: piece i goes to shard i mod
// count, whatever machine runs it.
void KeepShard(PiecePlan& plan, size_t shard, size_t count);

// Why the pattern cannot name every piece apart (a varying axis without
// its placeholder), or nullopt.
std::optional<std::string> PatternProblem(const std::string& pattern,
                                          const PiecePlan& plan);

// Why a value cannot fill a placeholder, or nullopt. A value holding "/" or
// a NUL, or starting with "..", would lead the file out of the folder the
// pattern names.
std::optional<std::string> PlaceholderValueProblem(const std::string& value);

// The pattern with {mapping}, {structure} and {tempo} replaced in one pass
// (a value is never expanded again); a placeholder of an axis without a
// value is left as typed.
std::string ExpandPattern(const std::string& pattern, const Piece& piece);

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_PIECE_PLAN_H_
