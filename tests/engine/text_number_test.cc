#include "engine/text_number.h"

#include <gtest/gtest.h>

namespace tessavar {
namespace {

TEST(NumericValueTest, ReadsTheLeadingNumber) {
  EXPECT_EQ(NumericValue(""), 0.0);
  EXPECT_EQ(NumericValue("abc"), 0.0);
  EXPECT_EQ(NumericValue(" 12abc"), 12.0);
  EXPECT_EQ(NumericValue("-7"), -7.0);
  EXPECT_EQ(NumericValue("5.5"), 5.5);
  EXPECT_EQ(NumericValue("  +3"), 3.0);
  EXPECT_EQ(NumericValue(".5"), 0.5);
  EXPECT_EQ(NumericValue("7."), 7.0);
  EXPECT_EQ(NumericValue("-"), 0.0);
  EXPECT_EQ(NumericValue("- 3"), 0.0);
  EXPECT_EQ(NumericValue("1.2.3"), 1.2);
  EXPECT_EQ(NumericValue("007"), 7.0);
  EXPECT_EQ(NumericValue("99999999999999999999"), 1e20);
}

TEST(NumberFieldParseTest, AcceptsOnlyAWholeNumberWithBlanks) {
  EXPECT_EQ(ParseNumberField(" 60 "), 60.0);
  EXPECT_EQ(ParseNumberField("-1 "), -1.0);
  EXPECT_EQ(ParseNumberField("007"), 7.0);
  EXPECT_FALSE(ParseNumberField("").has_value());
  EXPECT_FALSE(ParseNumberField("12abc").has_value());
  EXPECT_FALSE(ParseNumberField("  ").has_value());
  EXPECT_FALSE(ParseNumberField("1 2").has_value());
}

TEST(RoundingTest, CIntRoundsHalvesToEven) {
  EXPECT_EQ(CInt(0.5), 0);
  EXPECT_EQ(CInt(1.5), 2);
  EXPECT_EQ(CInt(2.5), 2);
  EXPECT_EQ(CInt(3.5), 4);
  EXPECT_EQ(CInt(-2.5), -2);
  EXPECT_EQ(CInt(-3.5), -4);
  EXPECT_EQ(CInt(2.4999), 2);
  EXPECT_EQ(CInt(2.5001), 3);
  EXPECT_EQ(CInt(-0.4), 0);
}

TEST(RoundingTest, IntFloorsAndFixTruncates) {
  EXPECT_EQ(Int(2.7), 2);
  EXPECT_EQ(Int(-2.3), -3);
  EXPECT_EQ(Fix(2.7), 2);
  EXPECT_EQ(Fix(-2.7), -2);
  EXPECT_EQ(Int(1e30), INT64_MAX);
}

TEST(NumberTextTest, WritesValuesWithoutSpaces) {
  EXPECT_EQ(NumberToText(7), "7");
  EXPECT_EQ(NumberToText(5.5), "5.5");
  EXPECT_EQ(NumberToText(-3), "-3");
  EXPECT_EQ(NumberToText(0), "0");
  EXPECT_EQ(NumberToText(-0.0), "0");
  EXPECT_EQ(NumberToText(0.1), "0.1");
  EXPECT_EQ(NumberToText(32767), "32767");
}

TEST(NumberTextTest, FileNumberFields) {
  EXPECT_EQ(NumberField(1), " 1 ");
  EXPECT_EQ(NumberField(0), " 0 ");
  EXPECT_EQ(NumberField(-1), "-1 ");
  EXPECT_EQ(NumberField(127), " 127 ");
}

TEST(NumberTextTest, SixteenBitRange) {
  EXPECT_TRUE(FitsInt16(32767));
  EXPECT_TRUE(FitsInt16(-32768));
  EXPECT_TRUE(FitsInt16(32767.4));
  EXPECT_FALSE(FitsInt16(32767.6));
  EXPECT_FALSE(FitsInt16(40000));
}

}  // namespace
}  // namespace tessavar
