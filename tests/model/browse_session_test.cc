#include "model/browse_session.h"

#include <gtest/gtest.h>

#include <string>

#include "model/recent_compositions.h"
#include "support/browse_fixture.h"

namespace tessavar {
namespace {

using BrowseSessionTest = testing::BrowseFixture;

TEST_F(BrowseSessionTest, NextAndPreviousMappingComposeWhatTypingWould) {
  struct Case {
    std::string from;
    int direction;
    std::string typed;
  };
  for (const Case& c : {Case{"32767", 1, "1"}, Case{"1", -1, "32767"},
                        Case{"500", 1, "501"}, Case{"500", -1, "499"}}) {
    Type({Box::kMapping}, c.from);
    ASSERT_TRUE(Compose().written);
    session_->StepMapping(c.direction);
    EXPECT_EQ(state_.panel.Text({Box::kMapping}), c.typed);
    ASSERT_TRUE(Compose().written);
    const std::string stepped = WorkingFile();
    const PanelSnapshot after_step = TakeSnapshot(state_, 0);

    Type({Box::kMapping}, c.from);
    ASSERT_TRUE(Compose().written);
    Type({Box::kMapping}, c.typed);
    ASSERT_TRUE(Compose().written);
    EXPECT_EQ(WorkingFile(), stepped) << c.from << " " << c.direction;
    EXPECT_TRUE(SameSettings(after_step, TakeSnapshot(state_, 0)));
  }
  // Each step is one undo step.
  session_->StepMapping(1);
  ASSERT_TRUE(session_->Undo());
  EXPECT_EQ(state_.panel.Text({Box::kMapping}), "499");
}

TEST(RecentCompositionsTest, NewestFirstOnceAtMostTenMissingOnesMarked) {
  testing::TempDir dir;
  std::vector<std::string> recent;
  for (int n = 0; n < 12; ++n) {
    RememberComposition(recent, dir / ("c" + std::to_string(n) + ".tvx"));
  }
  RememberComposition(recent, dir / "c5.tvx");
  RememberComposition(recent, "");
  ASSERT_EQ(recent.size(), kRecentCompositionCount);
  EXPECT_EQ(recent[0], dir / "c5.tvx");
  EXPECT_EQ(recent[1], dir / "c11.tvx");
  EXPECT_EQ(std::count(recent.begin(), recent.end(), dir / "c5.tvx"), 1);

  dir.Write("c11.tvx", "x");
  std::vector<RecentComposition> items = RecentCompositions(recent);
  ASSERT_EQ(items.size(), kRecentCompositionCount);
  EXPECT_FALSE(items[0].exists);
  EXPECT_TRUE(items[1].exists);
}

}  // namespace
}  // namespace tessavar
