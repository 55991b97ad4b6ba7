#include "model/panel_compose.h"

#include <gtest/gtest.h>

#include "engine/composer.h"
#include "engine/mapped_values.h"
#include "engine/text_number.h"
#include "support/composer_fixtures.h"
#include "support/counting_ui_host.h"

namespace tessavar {
namespace {

using testing::CountingUiHost;
using testing::MakePanel;
using testing::PanelSetup;

TEST(PanelComposeTest, RequestReadsTheBoxesWithTheNumberRules) {
  PanelSetup setup;
  setup.structure = "A1B2C";
  setup.mapping = "-77";
  setup.variation = "7";
  setup.tracks = "3";
  setup.meter = 2;
  setup.octave = "50";
  setup.volume = "77";
  setup.mapped[4] = "x";
  setup.tie = 2;  // greyed counts as on
  PanelModel panel = MakePanel(setup);
  panel.EnablePanel();
  panel.Select({List::kFade}, -1);
  panel.Select({List::kInstrument, 5}, -1);
  panel.SetText({Box::kMapped, 6}, "12abc");
  panel.SetCheck({Check::kMappedAuto}, 2);  // typing unchecked it

  ComposeRequest request = ComposeRequestFromPanel(panel, "10 4 7");
  EXPECT_EQ(request.structure, "A1B2C");
  EXPECT_EQ(request.mapping, 77);  // the box keeps the magnitude
  EXPECT_EQ(request.variation, 7);
  EXPECT_EQ(request.tracks, 3);
  EXPECT_EQ(request.tonality, 0);
  EXPECT_EQ(request.meter, 2);
  EXPECT_EQ(request.fade, -1);
  EXPECT_TRUE(request.mapped_auto);
  EXPECT_EQ(request.mapped[MappedParameter::kCurrentKey], 0);
  EXPECT_EQ(request.mapped[MappedParameter::kNoteDuration], 12);
  EXPECT_EQ(request.mapped[MappedParameter::kNotePitch], 13);
  EXPECT_EQ(request.user_scale, "10 4 7");
  for (int t = 0; t < kTrackCount; ++t) {
    const TrackRow& row = request.track_rows[t];
    EXPECT_TRUE(row.tie) << t;
    EXPECT_EQ(row.volume, 77) << t;
    EXPECT_EQ(row.octave_base, 50) << t;
    EXPECT_EQ(row.instrument, t == 5 ? -1 : t);
  }
}

// Every value "Auto" can show, in every box: the text is the number, the
// spinner follows where the box's range allows, "Auto" stays on, and the
// request reads back exactly what the composer reads back.
TEST(PanelComposeTest, WrittenValuesReadBackUnchanged) {
  PanelModel panel = MakePanel(PanelSetup{});
  for (int value = 0; value <= 28; ++value) {
    MappedBoxValues values;
    values.values.fill(value);
    WriteMappedBoxValues(panel, values);
    ComposeRequest request = ComposeRequestFromPanel(panel, "");
    EXPECT_EQ(request.mapped, ReadBackBoxValues(values)) << value;
    EXPECT_EQ(panel.CheckValue({Check::kMappedAuto}), 1);
    for (int k = 0; k < kMappedParameterCount; ++k) {
      BoxId box{Box::kMapped, k};
      EXPECT_EQ(panel.Text(box), NumberToText(value)) << k;
      SpinnerRange range = PanelModel::Range(box);
      if (value >= range.low && value <= range.high) {
        EXPECT_EQ(panel.Spinner(box), value) << k;
      }
    }
  }
}

TEST(PanelComposeTest, ComposingShowsStatusDrawnValuesAndFixedSpinners) {
  PanelSetup setup;
  setup.mapping = "2024";
  PanelModel panel = MakePanel(setup);
  CountingUiHost host;
  PanelComposeHook hook(panel, host);
  ComposeRequest request = ComposeRequestFromPanel(panel, kDefaultUserScale);
  EngineState engine;
  ComposeResult result = ComposeAndFinishScore(request, engine, hook);
  ASSERT_TRUE(result.composed);
  ASSERT_TRUE(result.drawn.has_value());
  EXPECT_GT(host.yields, 3);
  EXPECT_EQ(panel.status_text(), kComposingStatus);
  EXPECT_FALSE(panel.IsSpinnerEnabled({Box::kMapped, 0}));
  EXPECT_EQ(panel.CheckValue({Check::kMappedAuto}), 1);
  for (int k = 0; k < kMappedParameterCount; ++k) {
    EXPECT_EQ(panel.Text({Box::kMapped, k}),
              NumberToText(result.drawn->values[k]))
        << k;
  }
}

}  // namespace
}  // namespace tessavar
