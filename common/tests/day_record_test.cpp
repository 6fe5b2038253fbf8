#include "day_record.h"

#include <gtest/gtest.h>

namespace radmon {

TEST(DayFileName, PrefixDateCsv) { EXPECT_EQ(dayFileName("20110919"), "μSVHData20110919.csv"); }

TEST(FormatRecordLine, SixFieldsCrLf) {
  RecordLine r{{2011, 9, 19, 0, 0, 30}, 0.5f, 54, 54, 60};
  EXPECT_EQ(formatRecordLine(r), "\"2011/09/19\",\"00:00\",0.5,54,54,60\r\n");
  r.netDose = 0;
  EXPECT_EQ(formatRecordLine(r), "\"2011/09/19\",\"00:00\",0,54,54,60\r\n");
  r.netDose = 1.5f;
  EXPECT_EQ(formatRecordLine(r).substr(21, 4), "1.5,");
  r.netDose = 0.123f;
  EXPECT_EQ(formatRecordLine(r).substr(21, 6), "0.123,");
}

TEST(FormatRecordLine, LargeCountsStayExact) {
  RecordLine r{{2011, 9, 19, 12, 0, 0}, 0.1f, 30000, 123456789, 31536000};
  EXPECT_EQ(formatRecordLine(r), "\"2011/09/19\",\"12:00\",0.1,30000,123456789,31536000\r\n");
}

TEST(ParseRecordLine, ReadsWhatTheWriterWritesAndOtherForms) {
  auto r = parseRecordLine(formatRecordLine({{2011, 4, 1, 8, 1, 0}, 0.123f, 20, 20, 60}));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->date, "2011/04/01");
  EXPECT_EQ(r->time, "08:01");
  EXPECT_EQ(r->rateText, "0.123");
  EXPECT_DOUBLE_EQ(r->rate, 0.123);
  r = parseRecordLine("\"2011/04/01\",\"08:02\",.27,1,2,3");
  ASSERT_TRUE(r);
  EXPECT_DOUBLE_EQ(r->rate, 0.27);
  r = parseRecordLine("\"2011/04/01\",\"08:02\",2.7E-01,1,2,3\r\n");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->rateText, "0.27");
}

TEST(ParseRecordLine, RefusesLinesItCannotRead) {
  EXPECT_FALSE(parseRecordLine(""));
  EXPECT_FALSE(parseRecordLine("\"2011/04/01\",\"08:02\",abc,1,2,3"));
  EXPECT_FALSE(parseRecordLine("\"2011/04/01\",\"08:02\",0.1,1,2"));
  EXPECT_FALSE(parseRecordLine("\"2011/04/01\",\"08:0"));  // torn while being written
}

}  // namespace radmon
