#include "model/program_init.h"

#include <gtest/gtest.h>

namespace tessavar {
namespace {

TEST(InitializeGlobalVariablesTest, ResetsSharedValuesAndKeepsTexts) {
  ProgramState state;
  int closed = 0;
  int yields = 0;
  state.panel.on_score_cleared = [&] { ++closed; };
  state.panel.on_yield = [&] { ++yields; };

  state.composition_path = "song.tvx";
  state.midi_path = "song.MID";
  state.orchestration_path = "bass.orc";
  state.panel.Select({List::kTonality}, 7);
  state.panel.Select({List::kFade}, -1);
  state.panel.Select({List::kMeter}, 2);
  state.panel.Select({List::kSmoothing}, 3);
  state.panel.Select({List::kInstrument, 15}, 99);
  state.panel.SetText({Box::kTempo}, "200");
  state.channel_map[4] = 10;
  state.engine.user_scale = " 0 2 4";
  state.composition_info = "notes";
  state.engine.score.At(3, 10).duration = 4;
  state.engine.track_name[1] = "Track 1";
  state.panel.DisablePanel();
  state.panel.set_save_enabled(true);
  state.panel.set_status_text("Playing");
  closed = 0;

  ResetProgramState(state);

  EXPECT_EQ(state.composition_path, "");
  EXPECT_EQ(state.midi_path, "");
  EXPECT_EQ(state.orchestration_path, "bass.orc");
  for (List list :
       {List::kTonality, List::kSmoothing, List::kMeter, List::kFade}) {
    EXPECT_EQ(state.panel.Selection({list}), 0);
  }
  EXPECT_EQ(state.panel.Selection({List::kInstrument, 15}), 0);
  EXPECT_EQ(state.channel_map, DefaultChannelMap());
  EXPECT_EQ(state.engine.user_scale, " 0 1 2 3 4 5 6 7 8 9101112");
  EXPECT_EQ(state.composition_info, "");
  EXPECT_EQ(state.engine.score.UsedLength(), 0);
  EXPECT_EQ(state.engine.track_name[1], "");
  // Texts are the default composition's business, not this reset's.
  EXPECT_EQ(state.panel.Text({Box::kTempo}), "200");

  EXPECT_GE(closed, 1);
  EXPECT_FALSE(state.panel.save_enabled());
  EXPECT_TRUE(state.panel.compose_enabled());
  EXPECT_EQ(state.panel.status_text(), "");
  EXPECT_TRUE(state.panel.enabled());
  EXPECT_GE(yields, 1);
}

}  // namespace
}  // namespace tessavar
