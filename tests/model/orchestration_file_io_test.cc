#include "model/orchestration_file_io.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/file_names.h"
#include "model/scale_file_io.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::CrLfLines;
using testing::ScriptedErrorReporter;
using testing::TempDir;

struct Row {
  int instrument;
  std::string octave;
  std::string volume;
  int tie;
  std::string pan;
  int channel;
  friend bool operator==(const Row&, const Row&) = default;
};

Row RowOf(const ProgramState& state, int t) {
  const PanelModel& p = state.panel;
  return {p.Selection({List::kInstrument, t}),
          p.Text({Box::kOctave, t}),
          p.Text({Box::kVolume, t}),
          p.CheckValue({Check::kTie, t}),
          p.Text({Box::kPan, t}),
          state.channel_map[t]};
}

// The 96 lines of an orchestration whose rows all differ.
std::vector<std::string> OrchestrationLines() {
  std::vector<std::string> lines;
  for (int t = 0; t < 16; ++t) {
    lines.push_back(" " + std::to_string(t * 7 + 1) + " ");
    lines.push_back(std::to_string(36 + 2 * t));
    lines.push_back(std::to_string(100 - t));
    lines.push_back(t % 2 ? " 1 " : " 0 ");
    lines.push_back(std::to_string(t * 8));
    lines.push_back(" " + std::to_string((t + 3) % 16 + 1) + " ");
  }
  return lines;
}

class OrchestrationFileTest : public ::testing::Test {
 protected:
  bool LoadLines(ProgramState& state, const std::vector<std::string>& lines) {
    dir.Write("in.orc", CrLfLines(lines));
    state.orchestration_path = dir / "in.orc";
    return LoadOrchestrationFile(state, host, reporter);
  }

  TempDir dir;
  UiHost host;
  ScriptedErrorReporter reporter;
};

TEST_F(OrchestrationFileTest, RoundTripLeavesOtherParametersAlone) {
  ProgramState source;
  ASSERT_TRUE(LoadLines(source, OrchestrationLines()));
  source.panel.Select({List::kInstrument, 4}, -1);
  source.orchestration_path = ReplaceExtension(dir / "BASS.TXT", "orc");
  ASSERT_TRUE(SaveOrchestrationFile(source, host, reporter));
  EXPECT_TRUE(dir.Exists("bass.orc"));
  EXPECT_FALSE(dir.Exists("BASS.orc"));
  std::string bytes = dir.Read("bass.orc");
  std::vector<std::string> expected = OrchestrationLines();
  expected[24] = "-1 ";
  EXPECT_EQ(bytes, CrLfLines(expected));

  ProgramState fresh;
  fresh.panel.SetText({Box::kTempo}, "300");
  fresh.panel.SetCheck({Check::kMappedAuto}, 1);
  fresh.orchestration_path = dir / "BASS.orc";
  ASSERT_TRUE(LoadOrchestrationFile(fresh, host, reporter));
  for (int t = 0; t < 16; ++t) EXPECT_EQ(RowOf(fresh, t), RowOf(source, t));
  EXPECT_EQ(fresh.panel.Spinner({Box::kOctave, 5}), 46);
  EXPECT_EQ(fresh.panel.Text({Box::kTempo}), "300");
  EXPECT_EQ(fresh.panel.Text({Box::kMapped, 0}), "999");
  EXPECT_EQ(fresh.panel.CheckValue({Check::kMappedAuto}), 1);
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(OrchestrationFileTest, ShortFileReportsTheEndAndKeepsWhatWasRead) {
  std::vector<std::string> lines = OrchestrationLines();
  lines.pop_back();
  ScriptedErrorReporter retry_offered({ErrorChoice::kRetry});
  ProgramState state;
  state.channel_map[15] = 5;
  dir.Write("short.orc", CrLfLines(lines));
  state.orchestration_path = dir / "short.orc";
  EXPECT_FALSE(LoadOrchestrationFile(state, host, retry_offered));
  // The same file would end early again: no Retry. The file and the line
  // where the missing field belongs follow the classic text.
  EXPECT_EQ(retry_offered.messages,
            (std::vector<std::string>{"Input past end of file\n" +
                                      dir / "short.orc" + ", line 96"}));
  EXPECT_EQ(retry_offered.failures, 1);
  for (int t = 0; t < 15; ++t) {
    EXPECT_EQ(state.channel_map[t], (t + 3) % 16 + 1);
    EXPECT_EQ(state.panel.Text({Box::kVolume, t}), std::to_string(100 - t));
  }
  EXPECT_EQ(state.panel.Selection({List::kInstrument, 15}), 106);
  EXPECT_EQ(state.panel.Text({Box::kPan, 15}), "120");
  EXPECT_EQ(state.channel_map[15], 5);  // never read
}

TEST_F(OrchestrationFileTest, ValuesAControlCannotTakeAreReported) {
  std::vector<std::string> lines = OrchestrationLines();
  lines[6] = " 200 ";
  ProgramState state;
  EXPECT_FALSE(LoadLines(state, lines));
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0], "Error #380: Invalid property value\n" +
                                      dir / "in.orc" + ", line 7");
  EXPECT_EQ(state.panel.Text({Box::kOctave, 0}), "36");
  EXPECT_EQ(state.panel.Selection({List::kInstrument, 1}), 0);

  lines = OrchestrationLines();
  lines[3] = "x";
  reporter.messages.clear();
  EXPECT_FALSE(LoadLines(state, lines));
  EXPECT_EQ(reporter.messages,
            std::vector<std::string>{"Error #13: Type mismatch\n" +
                                     dir / "in.orc" + ", line 4"});
}

TEST_F(OrchestrationFileTest, MissingFileIsReportedAndRetried) {
  ProgramState state;
  state.orchestration_path = dir / "late.orc";
  EXPECT_FALSE(LoadOrchestrationFile(state, host, reporter));
  EXPECT_EQ(reporter.messages,
            std::vector<std::string>{"File not found\n" + dir / "late.orc"});
  EXPECT_EQ(state.panel.Text({Box::kOctave, 0}), "99");

  // Writes the missing file when the error is shown, then retries.
  ScriptedErrorReporter creating({ErrorChoice::kRetry});
  creating.on_show = [&](int) {
    dir.Write("late.orc", CrLfLines(OrchestrationLines()));
  };
  EXPECT_TRUE(LoadOrchestrationFile(state, host, creating));
  EXPECT_EQ(creating.messages.size(), 1u);
  EXPECT_EQ(state.panel.Text({Box::kOctave, 0}), "36");
}

TEST_F(OrchestrationFileTest, OnlyInstrumentChangesKeepTheScoreFresh) {
  ProgramState state;
  ASSERT_TRUE(LoadLines(state, OrchestrationLines()));
  std::vector<std::string> lines = OrchestrationLines();
  lines[0] = " 90 ";
  state.panel.set_save_enabled(true);
  ASSERT_TRUE(LoadLines(state, lines));
  EXPECT_TRUE(state.panel.save_enabled());
  EXPECT_EQ(state.panel.Selection({List::kInstrument, 0}), 90);

  lines[9] = " 0 ";  // tie of track 1
  ASSERT_TRUE(LoadLines(state, lines));
  EXPECT_FALSE(state.panel.save_enabled());
}

TEST_F(OrchestrationFileTest, EmptyPathDoesNothing) {
  ProgramState state;
  EXPECT_FALSE(SaveOrchestrationFile(state, host, reporter));
  EXPECT_FALSE(LoadOrchestrationFile(state, host, reporter));
  EXPECT_FALSE(SaveScaleFile(state, host, reporter));
  EXPECT_FALSE(LoadScaleFile(state, host, reporter));
  EXPECT_TRUE(reporter.messages.empty());
  EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(OrchestrationFileTest, ScaleFileKeepsLeadingSpaces) {
  ProgramState state;
  state.panel.set_save_enabled(true);
  dir.Write("MAJOR.SCA", "\" 0 2 4 5 7 911\"\r\n");
  state.scale_path = dir / "major.sca";
  ASSERT_TRUE(LoadScaleFile(state, host, reporter));
  EXPECT_EQ(state.engine.user_scale, " 0 2 4 5 7 911");
  EXPECT_TRUE(state.panel.save_enabled());
  EXPECT_EQ(state.panel.Selection({List::kTonality}), 0);

  state.engine.user_scale = "  0 3, 7";
  state.scale_path = ReplaceExtension(dir / "Minor", "sca");
  ASSERT_TRUE(SaveScaleFile(state, host, reporter));
  EXPECT_EQ(dir.Read("minor.sca"), "\"  0 3, 7\"\r\n");
  state.engine.user_scale.clear();
  ASSERT_TRUE(LoadScaleFile(state, host, reporter));
  EXPECT_EQ(state.engine.user_scale, "  0 3, 7");
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(OrchestrationFileTest, ScaleFileFailuresAreReported) {
  ProgramState state;
  dir.Write("empty.sca", "");
  state.scale_path = dir / "empty.sca";
  EXPECT_FALSE(LoadScaleFile(state, host, reporter));
  state.scale_path = dir / "none.sca";
  EXPECT_FALSE(LoadScaleFile(state, host, reporter));
  EXPECT_EQ(reporter.messages,
            (std::vector<std::string>{
                "Input past end of file\n" + dir / "empty.sca" + ", line 1",
                "File not found\n" + dir / "none.sca"}));
  EXPECT_EQ(state.engine.user_scale, kDefaultUserScale);

  state.engine.user_scale = "1\"2";
  EXPECT_FALSE(SaveScaleFile(state, host, reporter));
  EXPECT_EQ(reporter.messages.size(), 3u);
  EXPECT_FALSE(dir.Exists("none.sca"));
}

}  // namespace
}  // namespace tessavar
