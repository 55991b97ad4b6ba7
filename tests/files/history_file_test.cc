#include "files/history_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tessavar {
namespace {

TEST(HistoryLengthTextTest, RoundsToTheSecondAtEveryLength) {
  EXPECT_EQ(HistoryLengthText(0), "0:00");
  EXPECT_EQ(HistoryLengthText(499), "0:00");
  EXPECT_EQ(HistoryLengthText(500), "0:01");
  EXPECT_EQ(HistoryLengthText(61499), "1:01");
  EXPECT_EQ(HistoryLengthText(600500), "10:01");
  EXPECT_EQ(HistoryLengthText(3599499), "59:59");
  EXPECT_EQ(HistoryLengthText(8259000), "2:17:39");
  // A damaged or hostile file: no overflow at the ends of the range.
  EXPECT_EQ(HistoryLengthText(std::numeric_limits<int64_t>::max()),
            "2562047788015:12:56");
  EXPECT_EQ(HistoryLengthText(-1500), "-0:02");
  EXPECT_EQ(HistoryLengthText(std::numeric_limits<int64_t>::min()),
            "-2562047788015:12:56");
}

}  // namespace
}  // namespace tessavar
