// Feeds random and damaged composition files to the reader: it must never
// crash, throw or leave a control in a state the control cannot have.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/composition_file_io.h"
#include "support/counting_ui_host.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::TempDir;

// Deterministic helpers over the raw 32-bit draws of a fixed-seed engine.
class Dice {
 public:
  explicit Dice(uint32_t seed) : engine_(seed) {}
  int Below(int n) { return static_cast<int>(engine_() % n); }
  char Byte() { return static_cast<char>(engine_() & 0xFF); }

 private:
  std::mt19937 engine_;
};

const std::vector<std::string>& Tokens() {
  static const std::vector<std::string> tokens = {
      "5000",
      "-7",
      "3",
      "-1",
      "2",
      "128",
      "32768",
      "-32769",
      std::string(400, '9'),
      "0." + std::string(400, '0') + "1",
      "1e5",
      "\"",
      "\"abc",
      "abc\"",
      ",",
      ",,,",
      "",
      " ",
      "abc",
      "0.5",
      "-0",
      std::string("\0\x01\xff", 3),
      "\"1,2\"",
      "nan",
      "inf",
      "-",
      ".",
      "+",
      "\t9\t",
      "\r",
      "\"\r\n\"",
      " 0 ",
      " 1 ",
      "007",
      "-2.5"};
  return tokens;
}

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string RandomBytes(Dice& dice) {
  std::string bytes(dice.Below(3000), '\0');
  for (char& c : bytes) c = dice.Byte();
  return bytes;
}

// Printable junk rich in the characters the reader cares about.
std::string RandomText(Dice& dice) {
  static const std::string alphabet = "0123456789 -.,\"\r\n\tab";
  std::string bytes(dice.Below(2000), ' ');
  for (char& c : bytes) c = alphabet[dice.Below(alphabet.size())];
  return bytes;
}

std::string Mutate(Dice& dice, std::vector<std::string> lines) {
  const std::vector<std::string>& tokens = Tokens();
  int count = 1 + dice.Below(5);
  for (int m = 0; m < count && !lines.empty(); ++m) {
    size_t at = dice.Below(lines.size());
    switch (dice.Below(6)) {
      case 0:
      case 1:
        lines[at] = tokens[dice.Below(tokens.size())];
        break;
      case 2:
        lines.erase(lines.begin() + at);
        break;
      case 3:
        lines.insert(lines.begin() + at, lines[at]);
        break;
      case 4:
        lines[at] += ",";
        break;
      case 5:
        lines[at] = std::string(1 + dice.Below(100000), 'x');
        break;
    }
  }
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  if (dice.Below(4) == 0) bytes.resize(dice.Below(bytes.size() + 1));
  if (dice.Below(4) == 0 && !bytes.empty()) {
    bytes[dice.Below(bytes.size())] = dice.Byte();
  }
  return bytes;
}

// Every control holds a value it can hold.
void ExpectPossibleState(const ProgramState& state) {
  const PanelModel& panel = state.panel;
  auto in = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
  for (List list :
       {List::kTonality, List::kSmoothing, List::kMeter, List::kFade}) {
    int count = static_cast<int>(ListEntries(list).size());
    EXPECT_TRUE(in(panel.Selection({list}), -1, count - 1));
  }
  for (int t = 0; t < kTrackCount; ++t) {
    EXPECT_TRUE(in(panel.Selection({List::kInstrument, t}), -1, 127));
    EXPECT_TRUE(in(panel.CheckValue({Check::kTie, t}), 0, 2));
    EXPECT_TRUE(in(state.channel_map[t], -32768, 32767));
    for (Box box : {Box::kOctave, Box::kVolume, Box::kPan}) {
      SpinnerRange range = PanelModel::Range({box, t});
      EXPECT_TRUE(in(panel.Spinner({box, t}), range.low, range.high));
    }
  }
  for (CheckId check :
       {CheckId{Check::kMappedAuto}, CheckId{Check::kHiddenAuto}}) {
    EXPECT_TRUE(in(panel.CheckValue(check), 0, 2));
  }
  for (int i = 0; i < kMappedParameterCount; ++i) {
    SpinnerRange range = PanelModel::Range({Box::kMapped, i});
    EXPECT_TRUE(in(panel.Spinner({Box::kMapped, i}), range.low, range.high));
  }
  for (Box box : {Box::kMapping, Box::kVariation, Box::kTracks, Box::kTempo}) {
    SpinnerRange range = PanelModel::Range({box});
    EXPECT_TRUE(in(panel.Spinner({box}), range.low, range.high));
  }
  EXPECT_EQ(state.play_slider, 0);
}

TEST(CompositionFuzzTest, RandomAndDamagedFilesNeverBreakTheReader) {
  TempDir dir;
  testing::CountingUiHost host;

  // Two well-formed files to damage: the factory default and a panel with
  // every list and check away from its first value.
  std::vector<std::vector<std::string>> bases;
  {
    ProgramState state;
    ASSERT_TRUE(ReadCompositionFile(
                    state,
                    std::string(TESSAVAR_SOURCE_DIR) + "/share/DEFAULT.TVX",
                    host)
                    .ok());
    state.panel.Select({List::kTonality}, 7);
    state.panel.Select({List::kFade}, -1);
    state.panel.SetCheck({Check::kTie, 3}, 2);
    testing::ScriptedErrorReporter reporter;
    ASSERT_TRUE(WriteCompositionFile(state, dir / "base.tvx", host, reporter));
    bases.push_back(SplitLines(dir.Read("base.tvx")));
    ProgramState fresh;
    ASSERT_TRUE(WriteCompositionFile(fresh, dir / "fresh.tvx", host, reporter));
    bases.push_back(SplitLines(dir.Read("fresh.tvx")));
  }
  ASSERT_EQ(bases[0].size(), 123u);

  Dice dice(20240607);
  ProgramState state;  // carried over, so damage accumulates
  int complete = 0;
  constexpr int kRounds = 3000;
  for (int round = 0; round < kRounds; ++round) {
    std::string bytes;
    switch (dice.Below(5)) {
      case 0:
        bytes = RandomBytes(dice);
        break;
      case 1:
        bytes = RandomText(dice);
        break;
      default:
        bytes = Mutate(dice, bases[dice.Below(bases.size())]);
        break;
    }
    dir.Write("fuzz.tvx", bytes);
    if (round % 100 == 0) state = ProgramState();
    state.options.lock_mapped = dice.Below(4) == 0;
    Status result;
    ASSERT_NO_THROW(result = ReadCompositionFile(state, dir / "fuzz.tvx", host))
        << round;
    if (result.ok()) {
      ++complete;
    } else {
      EXPECT_FALSE(result.detail().empty()) << round;
      EXPECT_GE(result.line(), 0);
    }
    EXPECT_FALSE(host.busy);
    ExpectPossibleState(state);
    if (::testing::Test::HasFailure()) {
      FAIL() << "round " << round << ": " << LoadProblemText(result);
    }
  }
  // The mutations leave some files whole, so both outcomes are exercised.
  EXPECT_GT(complete, 0);
  EXPECT_LT(complete, kRounds);
}

}  // namespace
}  // namespace tessavar
