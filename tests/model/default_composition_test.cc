// The factory default composition shipped in share/.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "model/composition_file_io.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::ScriptedErrorReporter;
using testing::TempDir;

const std::string kFactoryDefault =
    std::string(TESSAVAR_SOURCE_DIR) + "/share/DEFAULT.TVX";

class DefaultCompositionTest : public ::testing::Test {
 protected:
  DefaultCompositionTest() {
    result = ReadCompositionFile(state, kFactoryDefault, host);
  }
  UiHost host;
  ProgramState state;
  Status result;
};

TEST_F(DefaultCompositionTest, LoadsCompletely) {
  ASSERT_TRUE(result.ok()) << LoadProblemText(result);
  const PanelModel& panel = state.panel;
  EXPECT_EQ(state.file_format_version, "2.0");
  EXPECT_EQ(panel.Text({Box::kStructure}), "1234567890123456");
  EXPECT_EQ(panel.Text({Box::kMapping}), "32767");
  EXPECT_EQ(panel.Text({Box::kVariation}), "5");
  EXPECT_EQ(panel.Text({Box::kTracks}), "6");
  EXPECT_EQ(panel.Text({Box::kTempo}), "150");
  for (List list :
       {List::kTonality, List::kSmoothing, List::kMeter, List::kFade}) {
    EXPECT_EQ(panel.Selection({list}), 0);
  }
  EXPECT_EQ(panel.CheckValue({Check::kMappedAuto}), 1);
  EXPECT_EQ(state.engine.user_scale, kDefaultUserScale);
}

TEST_F(DefaultCompositionTest, MappedBoxesShowTheirInitialPositions) {
  ASSERT_TRUE(result.ok());
  PanelModel initial;
  for (int i = 0; i < kMappedParameterCount; ++i) {
    BoxId box{Box::kMapped, i};
    EXPECT_EQ(state.panel.Text(box), std::to_string(initial.Spinner(box)));
    EXPECT_EQ(state.panel.Spinner(box), initial.Spinner(box));
  }
}

TEST_F(DefaultCompositionTest, OrchestrationIsVariedAndInRange) {
  ASSERT_TRUE(result.ok());
  const PanelModel& panel = state.panel;
  std::set<int> instruments;
  std::set<int> channels;
  std::set<std::string> pans;
  for (int t = 0; t < kTrackCount; ++t) {
    SCOPED_TRACE(t);
    int octave = std::stoi(panel.Text({Box::kOctave, t}));
    int volume = std::stoi(panel.Text({Box::kVolume, t}));
    int pan = std::stoi(panel.Text({Box::kPan, t}));
    EXPECT_GE(octave, 36);
    EXPECT_LE(octave, 72);
    EXPECT_GE(volume, 64);
    EXPECT_LE(volume, 110);
    EXPECT_GE(pan, 0);
    EXPECT_LE(pan, 127);
    EXPECT_EQ(panel.Spinner({Box::kOctave, t}), octave);
    EXPECT_EQ(state.channel_map[t], t + 1);
    instruments.insert(panel.Selection({List::kInstrument, t}));
    channels.insert(state.channel_map[t]);
    pans.insert(panel.Text({Box::kPan, t}));
  }
  EXPECT_EQ(channels.size(), 16u);
  EXPECT_GE(instruments.size(), 12u);
  EXPECT_GE(pans.size(), 10u);
  // The six tracks composed by default do not share an instrument.
  std::set<int> first_six;
  for (int t = 0; t < 6; ++t) {
    first_six.insert(panel.Selection({List::kInstrument, t}));
  }
  EXPECT_EQ(first_six.size(), 6u);
}

TEST_F(DefaultCompositionTest, SavesBackByteForByte) {
  ASSERT_TRUE(result.ok());
  std::ifstream in(kFactoryDefault, std::ios::binary);
  std::string original((std::istreambuf_iterator<char>(in)),
                       std::istreambuf_iterator<char>());
  ASSERT_FALSE(original.empty());

  TempDir dir;
  ScriptedErrorReporter reporter;
  ASSERT_TRUE(WriteCompositionFile(state, dir / "DEFAULT.TVX", host, reporter));
  EXPECT_EQ(dir.Read("default.tvx"), original);
}

}  // namespace
}  // namespace tessavar
