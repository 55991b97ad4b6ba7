// Every box's tooltip names its spinner's range, so a changed range cannot
// leave a tooltip that says otherwise.
#include "model/panel_tips.h"

#include <gtest/gtest.h>

#include <vector>

namespace tessavar {
namespace {

TEST(PanelTipsTest, BoxTipsNameTheirRanges) {
  std::vector<BoxId> boxes = {
      {Box::kMapping}, {Box::kVariation}, {Box::kTracks}, {Box::kTempo},
      {Box::kOctave},  {Box::kVolume},    {Box::kPan}};
  for (int i = 0; i < kMappedParameterCount; ++i)
    boxes.push_back({Box::kMapped, i});
  for (BoxId id : boxes) {
    const SpinnerRange range = PanelModel::Range(id);
    const std::string tip = BoxTip(id);
    const std::string span =
        std::to_string(range.low) + " to " + std::to_string(range.high);
    EXPECT_NE(tip.find(span), std::string::npos)
        << "box " << static_cast<int>(id.box) << "/" << id.index << ": " << tip;
  }
  EXPECT_NE(BoxTip({Box::kStructure}).find("3 to 16 digits"),
            std::string::npos);
  // Each mapped tip starts with its own caption and range; a box whose 0
  // switches its treatment off says so.
  EXPECT_EQ(BoxTip(MappedBox(MappedParameter::kPeriodRepeat))
                .rfind("Period Repeat (0 to 4, 0 = off): whether periods", 0),
            0u);
  EXPECT_EQ(BoxTip(MappedBox(MappedParameter::kActiveVoices))
                .rfind("Active Voices (1 to 12): how many tracks", 0),
            0u);
  for (int i = 0; i < kMappedParameterCount; ++i) {
    EXPECT_EQ(
        BoxTip({Box::kMapped, i}).rfind(kMappedParameterRows[i].caption, 0), 0u)
        << i;
  }
}

TEST(PanelTipsTest, ListsAndHeadingsHaveTips) {
  for (List list : {List::kTonality, List::kSmoothing, List::kMeter,
                    List::kFade, List::kInstrument}) {
    EXPECT_FALSE(ListTip(list).empty());
  }
  for (int c = 0; c <= static_cast<int>(OrchestrationColumn::kTie); ++c) {
    EXPECT_FALSE(ColumnTip(static_cast<OrchestrationColumn>(c)).empty());
  }
}

}  // namespace
}  // namespace tessavar
