#include "day_record.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace radmon {

TEST(FormatRecordLine, SixFieldsCrLfLargeCountsExactAndTheDayFileName) {
  EXPECT_EQ(dayFileName("20110919"), "μSVHData20110919.csv");
  RecordLine r{{2011, 9, 19, 0, 0, 30}, 0.5f, 54, 54, 60};
  EXPECT_EQ(formatRecordLine(r), "\"2011/09/19\",\"00:00\",0.5,54,54,60\r\n");
  r.netDose = 0;
  EXPECT_EQ(formatRecordLine(r), "\"2011/09/19\",\"00:00\",0,54,54,60\r\n");
  r.netDose = 1.5f;
  EXPECT_EQ(formatRecordLine(r).substr(21, 4), "1.5,");
  r.netDose = 0.123f;
  EXPECT_EQ(formatRecordLine(r).substr(21, 6), "0.123,");
  // Large counts stay exact.
  RecordLine large{{2011, 9, 19, 12, 0, 0}, 0.1f, 30000, 123456789, 31536000};
  EXPECT_EQ(formatRecordLine(large), "\"2011/09/19\",\"12:00\",0.1,30000,123456789,31536000\r\n");
}

// The one acceptance rule of a record line, for every reader: what the writer writes,
// and the forms older or hand-edited files hold, which the day graph has always drawn.
TEST(ParseRecordLine, OneRuleForEveryReader) {
  const std::string written = formatRecordLine({{2011, 4, 1, 8, 1, 0}, 0.123f, 20, 20, 60});
  const std::optional<int64_t> none;
  const struct {
    std::string line;
    bool record;
    std::string rateText;
    std::optional<int64_t> cpm;
    bool when;  // the date and minute name a moment
  } cases[] = {
      {written, true, "0.123", 20, true},
      {"\"2011/04/01\",\"08:02\",.27,1,2,3", true, "0.27", 1, true},
      {"\"2011/04/01\",\"08:02\",2.7E-01,1,2,3\r\n", true, "0.27", 1, true},
      {"\"2011/04/01\",\"08:02\",+.5,1,2,3", true, "0.5", 1, true},
      {"\"2011/04/01\",\"08:02\",0.1234567,1,2,3", true, "0.1234567", 1, true},
      {"2011/04/01,08:02,0.5,54,1234,60", true, "0.5", 54, true},  // unquoted
      {"\"2011/04/01\" ,\"08:02\",0.5,54,2,3", true, "0.5", 54, true},
      {"\"2011/04/01\",\"08:02\",0.5,54,1234,60,7", true, "0.5", 54, true},
      {"\"2011/04/01\",\"08:02\",\"0.5\",54,1234,60", true, "0.5", 54, true},
      {"\"2011/04/01\",\"08:02\",0.1,x,1,60", true, "0.1", none, true},
      {"\"2011/04/01\",\"08:02\",0.1,54.5,1,60", true, "0.1", none, true},
      {"\"2011/04/01\",\"08:02\",0.1,-1,1,60", true, "0.1", none, true},
      {"\"2026/02/30\",\"13:05\",0.1,54,1,60", true, "0.1", 54, false},
      {"\"2011/04/01\",\"xx:yy\",1,54,1,60", true, "1", 54, false},
      {"\"2011/04/01\",\"8:02\",1,54,1,60", true, "1", 54, false},
      {"\"2011/4\",\"00:00\",1,54,1,60", true, "1", 54, false},
      {"", false, "", none, false},
      {"\"2011/04/01\",\"08:02\",abc,1,2,3", false, "", none, false},
      {"\"2011/04/01\",\"08:02\",,1,2,3", false, "", none, false},
      {"\"2011/04/01\",\"08:02\",0.1,1,2", false, "", none, false},     // five fields
      {"\"2011/04/01\",\"08:0", false, "", none, false},                // torn while being written
      {"\"2011/04/01\",\"08:02\",1e39,1,2,3", false, "", none, false},  // beyond single precision
      {"\"2011/04/01\",\"08:02\",-1e300,1,2,3", false, "", none, false},
  };
  for (const auto& c : cases) {
    const auto r = parseRecordLine(c.line);
    ASSERT_EQ(r.has_value(), c.record) << c.line;
    if (!r) continue;
    EXPECT_EQ(r->rateText, c.rateText) << c.line;
    EXPECT_EQ(r->rate, std::strtod(c.rateText.c_str(), nullptr)) << c.line;
    EXPECT_EQ(r->cpm, c.cpm) << c.line;
    EXPECT_EQ(r->when().has_value(), c.when) << c.line;
  }
  const auto r = parseRecordLine(written);
  EXPECT_EQ(std::tuple(r->date, r->time, r->totalCount, r->elapsedSeconds, r->when()),
            std::tuple("2011/04/01", "08:01", 20, 60, LocalDateTime{2011, 4, 1, 8, 1, 0}));
  // Seven digits draw the graph; the value itself goes on as the writer's float.
  const auto exact = parseRecordLine("\"2011/04/01\",\"08:02\",0.15100001,1,2,3");
  EXPECT_EQ(exact->rateText, "0.151");
  EXPECT_EQ(exact->dose, 0.15100001f);
}

}  // namespace radmon
