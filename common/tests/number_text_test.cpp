#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace radmon {

TEST(ReadNumber, AcceptsTheFormsOperatorsType) {
  EXPECT_EQ(readNumber("50"), 50.0);
  EXPECT_EQ(readNumber("  0.27 "), 0.27);
  EXPECT_EQ(readNumber(".27"), 0.27);
  EXPECT_EQ(readNumber("5."), 5.0);
  EXPECT_EQ(readNumber("2.7E-01"), 0.27);
  EXPECT_EQ(readNumber("1e3"), 1000.0);
  EXPECT_EQ(readNumber("-5"), -5.0);
  EXPECT_EQ(readNumber("+18"), 18.0);
}

TEST(ReadNumber, RefusesEverythingElse) {
  for (const char* bad : {"", "   ", "abc", "1,5", "1.2.3", "e5", ".", "-", "1e", "1e+",
                          "inf", "nan", "0x10", "１２", "1e400", "12abc", "\"", "5 5"})
    EXPECT_FALSE(readNumber(bad).has_value()) << bad;
}

TEST(ReadCount, PlainDigitsWithinTheRangeOnly) {
  EXPECT_EQ(readCount("21", 1, 65535), 21);
  EXPECT_EQ(readCount("65535", 1, 65535), 65535);
  EXPECT_EQ(readCount("0021", 1, 65535), 21);
  for (const char* refused :
       {"", "0", "65536", "99999999999999999999", "-1", "+5", " 5", "5 ", "5a", "0x10"}) {
    EXPECT_FALSE(readCount(refused, 1, 65535)) << refused;
  }
}

TEST(ToInt16, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(toInt16(2.5), 2);
  EXPECT_EQ(toInt16(3.5), 4);
  EXPECT_EQ(toInt16(-2.5), -2);
  EXPECT_EQ(toInt16(10.4), 10);
  EXPECT_EQ(toInt16(10.6), 11);
}

TEST(ToInt16, RangeIsChecked) {
  EXPECT_EQ(toInt16(32767.0), 32767);
  EXPECT_EQ(toInt16(-32768.0), -32768);
  EXPECT_EQ(toInt16(32767.4), 32767);
  EXPECT_FALSE(toInt16(32767.5).has_value());  // rounds to 32768
  EXPECT_FALSE(toInt16(-32769.0).has_value());
  EXPECT_FALSE(readInt16("1e400").has_value());
  EXPECT_EQ(readInt16(" 50 "), 50);
}

TEST(ShortestText, SinglePrecisionValues) {
  EXPECT_EQ(shortestText(0.123f), "0.123");
  EXPECT_EQ(shortestText(0.1f), "0.1");
  EXPECT_EQ(shortestText(0.0f), "0");
  EXPECT_EQ(shortestText(1.5f), "1.5");
  EXPECT_EQ(shortestText(54.0f), "54");
  EXPECT_EQ(shortestText(0.001f), "0.001");
  EXPECT_EQ(shortestText(16777216.0f), "16777216");
}

TEST(ShortestText, DoublesAtFifteenDigits) {
  EXPECT_EQ(shortestText(0.1 + 0.2), "0.3");
  EXPECT_EQ(shortestText(3 * 0.4), "1.2");
  EXPECT_EQ(shortestText(2.0), "2");
  EXPECT_EQ(shortestText(0.052), "0.052");
}

TEST(ShortestText, VeryLargeAndVerySmallDoublesReadBack) {
  // Plain form of these is hundreds of characters long; they once came out as "0", and
  // the largest double at 15 digits overflowed to infinity.
  for (double value : {1e300, -1.7976931348623157e308, 6.013532611014199e-154, 4.9e-324}) {
    const auto back = readNumber(shortestText(value));
    ASSERT_TRUE(back) << value;
    EXPECT_NEAR(*back, value, std::abs(value) * 1e-14);  // 15 significant digits
  }
  EXPECT_EQ(shortestText(1e100).size(), 101u);
  EXPECT_EQ(axisLabelText(1e20), " 100000000000000000000 ");
  EXPECT_EQ(roundHalfEven(1e300, 3), 1e300);
}

TEST(Fixed3Text, RoundsToThreeDecimals) {
  EXPECT_EQ(fixed3Text(0.0), "0.000");
  EXPECT_EQ(fixed3Text(0.5), "0.500");
  EXPECT_EQ(fixed3Text(0.1234), "0.123");
  EXPECT_EQ(fixed3Text(0.0005), "0.001");
  EXPECT_EQ(fixed3Text(12.3456), "12.346");
  EXPECT_EQ(fixed3Text(static_cast<double>(0.3f - 0.1f)), "0.200");
}

TEST(AxisLabelText, BlankNumberBlankWithoutLeadingZero) {
  EXPECT_EQ(axisLabelText(0), " 0 ");
  EXPECT_EQ(axisLabelText(0.4), " .4 ");
  EXPECT_EQ(axisLabelText(2 * 0.4), " .8 ");
  EXPECT_EQ(axisLabelText(3 * 0.4), " 1.2 ");
  EXPECT_EQ(axisLabelText(2), " 2 ");
  EXPECT_EQ(axisLabelText(4.0 - 0.8), " 3.2 ");
}

TEST(RoundHalfEven, OnTheDecimalValue) {
  EXPECT_DOUBLE_EQ(roundHalfEven(0.125, 2), 0.12);
  EXPECT_DOUBLE_EQ(roundHalfEven(0.135, 2), 0.14);
  EXPECT_DOUBLE_EQ(roundHalfEven(0.4, 2), 0.4);
  EXPECT_DOUBLE_EQ(roundHalfEven(0.002, 2), 0.0);
  EXPECT_DOUBLE_EQ(roundHalfEven(0.15, 3), 0.15);
  EXPECT_DOUBLE_EQ(roundHalfEven(0.0625, 3), 0.062);
}

TEST(RoundHalfEven, SubnormalValuesRoundToZeroWithoutThrowing) {
  // A full scale of "1e-310" gives such a label step; the text of the scaled value once
  // made std::stod throw out of the drawing.
  EXPECT_EQ(roundHalfEven(2.12211237074e-313, 3), 0.0);
  EXPECT_EQ(roundHalfEven(1e-310 / 5, 2), 0.0);
  EXPECT_EQ(roundHalfEven(-4.9e-324, 0), 0.0);
}

}  // namespace radmon
