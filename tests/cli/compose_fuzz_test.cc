// Random values and names fed to the compose command's naming rules, its
// plans and its JSON lines: nothing may throw, no accepted value may lead a
// file out of its folder, and every line must parse.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cli/batch_report.h"
#include "cli/piece_plan.h"
#include "cli/shared_file.h"
#include "support/temp_dir.h"

namespace tessavar::cli {
namespace {

namespace fs = std::filesystem;

// Bytes that matter to names and to JSON, and some that are not UTF-8.
std::string RandomText(std::mt19937& random, bool ascii_only) {
  static const std::string kSpecial = std::string("./{}\"\\\n\t", 8) + '\0';
  std::string text(random() % 12, '\0');
  for (char& c : text) {
    switch (random() % 4) {
      case 0:
        c = kSpecial[random() % kSpecial.size()];
        break;
      case 1:
        c = static_cast<char>(ascii_only ? random() % 0x80 : random() & 0xFF);
        break;
      default:
        c = static_cast<char>('0' + random() % 10);
    }
  }
  return text;
}

TEST(ComposeFuzzTest, AcceptedPlaceholderValuesStayInTheFolder) {
  std::mt19937 random(20261209u);
  const std::string folder = "out";
  for (int round = 0; round < 20000; ++round) {
    Piece piece;
    for (std::string& value : piece.values) value = RandomText(random, false);
    if (round % 3 == 0) piece.values[1] = "..";
    const std::string pattern = folder + "/{structure}-{mapping}{tempo}.mid";
    const std::string name = ExpandPattern(pattern, piece);
    bool accepted = true;
    for (const std::string& value : piece.values) {
      if (!value.empty() && PlaceholderValueProblem(value)) accepted = false;
    }
    if (!accepted) continue;
    ASSERT_EQ(name.find('\0'), std::string::npos) << "a NUL passed";
    // The name is one file name inside the folder.
    EXPECT_EQ(name.rfind('/'), folder.size()) << name;
    fs::path relative =
        fs::path(name).lexically_normal().lexically_relative(folder);
    EXPECT_FALSE(relative.empty() || *relative.begin() == "..") << name;
  }
}

TEST(ComposeFuzzTest, PatternsAreFilledInOnePass) {
  Piece piece;
  piece.values = {"{tempo}", "", "90"};
  EXPECT_EQ(ExpandPattern("{mapping}-{tempo}-{structure}", piece),
            "{tempo}-90-{structure}");
  EXPECT_EQ(ExpandPattern("{{mapping}}{tempo", piece), "{{tempo}}{tempo");
}

TEST(ComposeFuzzTest, JsonLinesParseWhateverTheText) {
  std::mt19937 random(7u);
  for (int round = 0; round < 5000; ++round) {
    const bool ascii = round % 2 == 0;
    PieceJson piece;
    piece.output = RandomText(random, ascii);
    piece.settings = {{"structure", RandomText(random, ascii)}};
    piece.mapped = {{"rhythm", RandomText(random, ascii)}};
    piece.seconds = random() / 7.0;
    std::string line;
    ASSERT_NO_THROW(line = PieceJsonLine(piece)) << round;
    ASSERT_EQ(line.find('\n'), line.size() - 1);
    nlohmann::json parsed = nlohmann::json::parse(line);
    if (ascii) {  // what is valid comes back unchanged
      EXPECT_EQ(parsed["output"], piece.output);
      EXPECT_EQ(parsed["settings"]["structure"], piece.settings[0].second);
    }
  }
}

TEST(ComposeFuzzTest, PlansHoldEachCombinationOnceAndStayBounded) {
  std::mt19937 random(3u);
  for (int round = 0; round < 300; ++round) {
    std::array<std::vector<std::string>, kAxes.size()> values;
    size_t expected = 1;
    for (auto& list : values) {
      std::set<std::string> distinct;
      for (size_t n = random() % 5; n > 0; --n) {
        list.push_back(std::to_string(random() % 4));
        distinct.insert(list.back());
      }
      expected *= std::max<size_t>(distinct.size(), 1);
    }
    std::string problem;
    std::optional<PiecePlan> plan = PlanPieces(values, &problem);
    ASSERT_TRUE(plan) << problem;
    std::set<std::array<std::string, kAxes.size()>> seen;
    for (const Piece& piece : plan->pieces) seen.insert(piece.values);
    EXPECT_EQ(plan->pieces.size(), expected);
    EXPECT_EQ(seen.size(), expected);
  }
  std::string problem;
  std::vector<std::string> thousand =
      *ExpandValues(Axis::kTempo, "1..1000", &problem);
  EXPECT_FALSE(PlanPieces({thousand, thousand, {"1", "2"}}, &problem));
  EXPECT_NE(problem.find("2000000 pieces"), std::string::npos) << problem;
  for (const char* list :
       {"1..1000001", "-9223372036854775808..9223372036854775807", "1..3,,4",
        "all,all,all,all,all,all,all,all,all,all,all,all,all,all,all,all,all,"
        "all,all,all,all,all,all,all,all,all,all,all,all,all,all,all"}) {
    EXPECT_FALSE(ExpandValues(Axis::kMapping, list, &problem)) << list;
  }
}

TEST(ComposeFuzzTest, NamesOfOneFileAreFound) {
  testing::TempDir dir;
  fs::create_directory(dir / "sub");
  std::ofstream(dir / "a.mid") << "x";
  fs::create_symlink("a.mid", dir / "link.mid");
  fs::create_hard_link(dir / "a.mid", dir / "hard.mid");
  fs::create_directory_symlink("sub", dir / "linked");
  const std::vector<std::pair<std::string, std::string>> same = {
      {"a.mid", "sub/../a.mid"},
      {"a.mid", "./link.mid"},
      {"a.mid", "hard.mid"},
      {"sub/new.mid", "linked/new.mid"},
  };
  for (const auto& [first, second] : same) {
    std::vector<std::string> names = {dir / "other.mid", dir / first, "",
                                      dir / "x.mid", dir / second};
    auto shared =
        FindSharedFile(names.size(), [&](size_t i) { return names[i]; });
    ASSERT_TRUE(shared) << second;
    EXPECT_EQ(*shared, std::make_pair(size_t{1}, size_t{4})) << second;
  }
  std::vector<std::string> apart = {dir / "a.mid", dir / "sub/a.mid",
                                    dir / "A.mid", ""};
  EXPECT_FALSE(
      FindSharedFile(apart.size(), [&](size_t i) { return apart[i]; }));
}

}  // namespace
}  // namespace tessavar::cli
