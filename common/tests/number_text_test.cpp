#include "number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>

#include "day_record.h"

namespace radmon {

TEST(ReadNumber, AcceptsTheFormsOperatorsType) {
  const std::pair<const char*, double> cases[] = {{"50", 50.0}, {"  0.27 ", 0.27}, {".27", 0.27},
                                                  {"5.", 5.0},  {"2.7E-01", 0.27}, {"1e3", 1000.0},
                                                  {"-5", -5.0}, {"+18", 18.0}};
  for (const auto& [text, value] : cases) EXPECT_EQ(readNumber(text), value) << text;
}

TEST(ReadNumber, RefusesEverythingElse) {
  for (const char* bad : {"", "   ", "abc", "1,5", "1.2.3", "e5", ".", "-", "1e", "1e+", "inf",
                          "nan", "0x10", "１２", "1e400", "12abc", "\"", "5 5"})
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
  for (const auto& [value, rounded] :
       {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {10.4, 10}, {10.6, 11}})
    EXPECT_EQ(toInt16(value), rounded) << value;
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
  const std::pair<float, const char*> cases[] = {{0.123f, "0.123"},
                                                 {0.1f, "0.1"},
                                                 {0.0f, "0"},
                                                 {1.5f, "1.5"},
                                                 {54.0f, "54"},
                                                 {0.001f, "0.001"},
                                                 {16777216.0f, "16777216"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(shortestText(value), text) << text;
}

TEST(ShortestText, DoublesAtFifteenDigits) {
  for (const auto& [value, text] :
       {std::pair{0.1 + 0.2, "0.3"}, {3 * 0.4, "1.2"}, {2.0, "2"}, {0.052, "0.052"}})
    EXPECT_EQ(shortestText(value), text) << text;
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
  const std::pair<double, const char*> cases[] = {
      {0.0, "0.000"},    {0.5, "0.500"},      {0.1234, "0.123"},
      {0.0005, "0.001"}, {12.3456, "12.346"}, {static_cast<double>(0.3f - 0.1f), "0.200"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(fixed3Text(value), text) << value;
}

TEST(AxisLabelText, BlankNumberBlankWithoutLeadingZero) {
  const std::pair<double, const char*> cases[] = {{0, " 0 "},        {0.4, " .4 "},
                                                  {2 * 0.4, " .8 "}, {3 * 0.4, " 1.2 "},
                                                  {2, " 2 "},        {4.0 - 0.8, " 3.2 "}};
  for (const auto& [value, text] : cases) EXPECT_EQ(axisLabelText(value), text) << text;
}

TEST(RoundHalfEven, OnTheDecimalValue) {
  const struct {
    double value;
    int digits;
    double rounded;
  } cases[] = {{0.125, 2, 0.12}, {0.135, 2, 0.14}, {0.4, 2, 0.4},
               {0.002, 2, 0.0},  {0.15, 3, 0.15},  {0.0625, 3, 0.062}};
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(roundHalfEven(c.value, c.digits), c.rounded) << c.value;
}

TEST(RoundHalfEven, SubnormalValuesRoundToZeroWithoutThrowing) {
  // A full scale of "1e-310" gives such a label step; the text of the scaled value once
  // made std::stod throw out of the drawing.
  for (const auto& [value, digits] :
       {std::pair{2.12211237074e-313, 3}, {1e-310 / 5, 2}, {-4.9e-324, 0}})
    EXPECT_EQ(roundHalfEven(value, digits), 0.0) << value;
}

TEST(FixedAndSignificantText, AsTheCLocaleWritesThem) {
  const struct {
    double value;
    const char* fixed1;
    const char* fixed3;
    const char* significant3;
  } cases[] = {
      {0.0, "0.0", "0.000", "0"},
      {6.85, "6.8", "6.850", "6.85"},     // 6.8499... as a double
      {22.25, "22.2", "22.250", "22.2"},  // a true half goes to even
      {-0.0645, "-0.1", "-0.065", "-0.0645"},
      {1234.5678, "1234.6", "1234.568", "1.23e+03"},
      {0.00001234, "0.0", "0.000", "1.23e-05"},
      {150.0, "150.0", "150.000", "150"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fixedText(c.value, 1), c.fixed1) << c.value;
    EXPECT_EQ(fixedText(c.value, 3), c.fixed3) << c.value;
    EXPECT_EQ(significantText(c.value, 3), c.significant3) << c.value;
  }
  EXPECT_EQ(fixedText(2.5, 0), "2");
  EXPECT_EQ(significantText(0.1f, 7), "0.1");
  EXPECT_EQ(integerText(-9223372036854775807 - 1), "-9223372036854775808");
}

// What the helpers write and read for a few values, as one text, so that two locales can
// be compared.
std::string helperTexts() {
  std::string all;
  for (double v : {0.2995, 6.85, 22.25, -0.0645, 1234.5678, 1e-5, 0.1 + 0.2}) {
    for (const std::string& text :
         {shortestText(v), shortestText(static_cast<float>(v)), fixed3Text(v), fixedText(v, 1),
          significantText(v, 4), shortestText(roundHalfEven(v, 3)), axisLabelText(v),
          shortestText(readNumber(shortestText(v)).value_or(-1))})
      all += text + "|";
    all += "\n";
  }
  const auto record = parseRecordLine("\"2011/03/16\",\"12:00\",0.2995,90,5400,3600\r\n");
  if (record) all += record->rateText + "|" + shortestText(record->rate);
  return all;
}

// The helpers under a locale whose C library writes and reads a decimal comma, set in
// this process as QApplication sets the user's locale; the C locale is back afterwards.
class DecimalCommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    inC_ = helperTexts();
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"})
      if (std::setlocale(LC_ALL, name)) return;
    GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (scripts/install-deps.sh makes it)";
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
  std::string inC_;
};

TEST_F(DecimalCommaLocale, HelpersWriteAndReadAPoint) {
  char comma[8];
  std::snprintf(comma, sizeof comma, "%.1f", 0.5);
  ASSERT_STREQ(comma, "0,5");  // the locale is really in force
  EXPECT_EQ(helperTexts(), inC_);
  // The day mean that came out truncated: the fourth decimal once stopped the reading.
  EXPECT_EQ(roundHalfEven(0.2995, 3), 0.3);
  EXPECT_EQ(readNumber("0.27"), 0.27);
  EXPECT_FALSE(readNumber("0,27").has_value());
  EXPECT_EQ(fixedText(6.94, 1) + "-" + fixedText(0.0645, 3), "6.9-0.065");
  EXPECT_EQ(significantText(12.345, 3), "12.3");
}

}  // namespace radmon
