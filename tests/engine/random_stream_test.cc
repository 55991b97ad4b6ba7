#include "engine/random_stream.h"

#include <gtest/gtest.h>

#include <vector>

namespace tessavar {
namespace {

// Golden states after the first draws, computed once from the definition of
// the stream with an independent implementation. The draws are state / 2^24.
std::vector<uint32_t> Draw(RandomStream& stream, int count) {
  std::vector<uint32_t> states;
  for (int i = 0; i < count; ++i) {
    double r = stream.NextRandom();
    EXPECT_EQ(r, stream.state() / 16777216.0);
    states.push_back(stream.state());
  }
  return states;
}

TEST(RandomStreamTest, FreshStreamStartsAtItsInitialState) {
  RandomStream stream;
  EXPECT_EQ(stream.state(), 0x50000u);
  EXPECT_DOUBLE_EQ(stream.NextRandom(), 0.7055475115776062);
}

TEST(RandomStreamTest, RestartThenMixWithMinusOne) {
  RandomStream stream;
  stream.RestartRandom(-1);
  stream.MixRandom(-1);
  EXPECT_EQ(stream.state(), 0xBFF086u);
  EXPECT_EQ(Draw(stream, 5), (std::vector<uint32_t>{13985073, 9532208, 1574195,
                                                    4463402, 11564357}));
}

TEST(RandomStreamTest, RestartThenMixWithLargestMapping) {
  RandomStream stream;
  stream.RestartRandom(-32767);
  stream.MixRandom(-32767);
  EXPECT_EQ(stream.state(), 0x3F1F71u);
  EXPECT_EQ(Draw(stream, 5), (std::vector<uint32_t>{869488, 7967091, 10516074,
                                                    1598341, 5949492}));
}

TEST(RandomStreamTest, MixThenRestartDependsOnlyOnTheRestartValue) {
  RandomStream stream;
  stream.MixRandom(-5);
  stream.RestartRandom(-5);
  EXPECT_EQ(stream.state(), 0xD69C83u);
  EXPECT_EQ(Draw(stream, 5), (std::vector<uint32_t>{4822330, 14436117, 13720964,
                                                    10130999, 3504158}));
  // The state before the mix does not matter once the stream restarts.
  RandomStream other;
  other.NextRandom();
  other.MixRandom(-5);
  other.RestartRandom(-5);
  EXPECT_EQ(other.state(), 0xD69C83u);
}

TEST(RandomStreamTest, RestartWithZeroChangesNothing) {
  RandomStream stream;
  stream.NextRandom();
  uint32_t before = stream.state();
  stream.RestartRandom(0);
  EXPECT_EQ(stream.state(), before);
}

TEST(RandomStreamTest, MixKeepsTheLowByteOfTheState) {
  RandomStream stream;
  stream.set_state(0x1234AB);
  stream.MixRandom(-7);
  EXPECT_EQ(stream.state() & 0xFF, 0xABu);
}

TEST(RandomStreamTest, DrawsStayInUnitInterval) {
  RandomStream stream;
  stream.RestartRandom(-123);
  for (int i = 0; i < 100000; ++i) {
    double r = stream.NextRandom();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
  }
}

}  // namespace
}  // namespace tessavar
