#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "day_pass.h"
#include "day_table.h"
#include "number_text.h"
#include "period_table.h"
#include "readings_settings.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;

std::string line(const std::string& time, const std::string& rate,
                 const std::string& date = "2011/04/01") {
  return "\"" + date + "\",\"" + time + "\"," + rate + ",54,1234,60\r\n";
}

struct PassResult {
  std::vector<PlotPair> pairs;
  DailyStats stats;
};

PassResult pass(const std::string& text) {
  PassResult r;
  r.stats =
      runDayPass(dayTableFromText(text).value, [&](const PlotPair& p) { r.pairs.push_back(p); });
  return r;
}

TEST(DayTable, ReadsEveryRowWithoutCapacityAndSkipsUnreadableLines) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += line("00:00", "0.1");
  text += "\"2011/04/01\",\"00:01\",abc,1,2,3\r\n";    // rate not a number
  text += "\"2011/04/01\",\"00:01\",0.2\r\n";          // too few fields
  text += "\"2011/04/01\",\"00:02\",1e300,1,2,3\r\n";  // beyond single precision
  text += "\"2011/04/01\",\"00:0";                     // torn while ratemon writes
  const auto table = dayTableFromText(text);
  EXPECT_EQ(table.value.rows.size(), 2000u);
  std::vector<int> skipped;
  for (const auto& issue : table.issues) skipped.push_back(issue.line);
  EXPECT_EQ(skipped, (std::vector{2001, 2002, 2003, 2004}));
}

TEST(DayTable, RateTextsInEveryFormKeepSevenDigits) {
  const DayTable table =
      dayTableFromText(line("00:00", ".27") + line("00:01", "2.7E-01") + line("00:02", "0.123"))
          .value;
  ASSERT_EQ(table.rows.size(), 3u);
  EXPECT_DOUBLE_EQ(table.rows[0].rate, 0.27);
  EXPECT_DOUBLE_EQ(table.rows[1].rate, 0.27);
  EXPECT_EQ(table.rows[2].rateText, "0.123");
}

TEST(DayTable, FileLookUpFindsOnlyOrdinaryFiles) {
  const auto dir = fs::temp_directory_path() / "day_table_lookup";
  fs::remove_all(dir);
  fs::create_directories(dir / "μSVHData20110402.csv");  // a folder, not a file
  const std::string folder = dir.string() + "/";
  EXPECT_EQ(dayFilePath(folder, "20110401"), folder + "μSVHData20110401.csv");
  EXPECT_TRUE(readDayTable(dayFilePath(folder, "20110401")).has(RecordIssue::Missing));
  EXPECT_TRUE(readDayTable(dayFilePath(folder, "20110402")).has(RecordIssue::Missing));
  EXPECT_TRUE(readDayTable(dayFilePath(folder + "missing/", "20110401")).has(RecordIssue::Missing));
  std::ofstream(dayFilePath(folder, "20110401"), std::ios::binary) << line("00:00", "0.1");
  const auto table = readDayTable(dayFilePath(folder, "20110401"));
  ASSERT_TRUE(table.clean());
  EXPECT_EQ(table.value.rows.size(), 1u);
  fs::remove_all(dir);
}

TEST(TitleDate, FromFirstRowAndCutAtTheTextsEnd) {
  using Parts = std::array<std::string, 3>;
  const auto parts = [](const std::string& text) {
    return titleDateParts(dayTableFromText(text).value);
  };
  EXPECT_EQ(parts(line("00:00", "1") + line("00:01", "1", "2011/04/02")),
            (Parts{"2011", "04", "01"}));
  EXPECT_EQ(parts(""), (Parts{"", "", ""}));
  EXPECT_EQ(parts(line("00:00", "1", "2011/4")), (Parts{"2011", "4", ""}));
}

// Over every record, the last included; the average to three decimals, halves to even.
TEST(DayPass, StatisticsOfEmptyOneRecordAndLongerDays) {
  const struct {
    const char* name;
    std::string text;
    double maximum, average;
    int count;
  } cases[] = {
      {"an empty day", "", 0, 0, 0},
      {"one record is the maximum and the average", line("08:00", "0.25"), 0.25, 0.25, 1},
      {"the last record counts", line("00:00", "0.1") + line("00:01", "0.2") + line("00:02", "0.3"),
       0.3, 0.2, 3},
      {"a half rounds down to even", line("00:00", "0.0625"), 0.0625, 0.062, 1},
      {"a half rounds up to even", line("00:00", "0.0635"), 0.0635, 0.064, 1},
      {"thirds round", line("00:00", "0.1") + line("00:01", "0.2") + line("00:02", "0.2"), 0.2,
       0.167, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PassResult r = pass(c.text);
    EXPECT_DOUBLE_EQ(r.stats.maximum, c.maximum);
    EXPECT_DOUBLE_EQ(r.stats.average, c.average);
    EXPECT_EQ(r.stats.count, c.count);
    EXPECT_EQ(r.pairs.size(), c.count > 0 ? c.count - 1 : 0);
  }
  const PassResult r = pass(line("00:00", "0.1") + line("00:01", "0.2") + line("00:02", "0.3"));
  ASSERT_EQ(r.pairs.size(), 2u);
  EXPECT_DOUBLE_EQ(r.pairs[1].r1, 0.2);
  EXPECT_DOUBLE_EQ(r.pairs[1].r2, 0.3);
}

TEST(DayPass, MissingOrRepeatedMinuteBreaksTheCurveButCounts) {
  const PassResult r = pass(line("08:00", "0.1") + line("08:02", "0.5") + line("08:02", "0.1") +
                            line("08:03", "0.1"));
  ASSERT_EQ(r.pairs.size(), 3u);
  EXPECT_FALSE(r.pairs[0].drawn);
  EXPECT_EQ(std::tie(r.pairs[0].t1, r.pairs[0].t2), std::tuple(480, 482));
  EXPECT_FALSE(r.pairs[1].drawn);  // repeated minute
  EXPECT_TRUE(r.pairs[2].drawn);
  EXPECT_DOUBLE_EQ(r.stats.maximum, 0.5);
}

// The days summer time begins and ends, as ratemon writes them (Berlin): the skipped
// hour is a break; the hour heard twice is drawn twice over the same stretch, with a
// break where the time goes back, and each of its minutes counts once.
TEST(DayPass, ClockChangeDaysBreakTheCurveAndCountEveryMinuteHeard) {
  const struct {
    const char* name;
    std::vector<std::string> times;
    std::vector<bool> drawn;
    int lastFrom;  // t1 of the last pair
  } cases[] = {
      {"spring", {"01:58", "01:59", "03:00", "03:01"}, {true, false, true}, 180},
      {"autumn", {"02:58", "02:59", "02:00", "02:01"}, {true, false, true}, 120},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text;
    for (size_t i = 0; i < c.times.size(); ++i) text += line(c.times[i], i < 2 ? "0.1" : "0.3");
    const PassResult r = pass(text);
    std::vector<bool> drawn;
    for (const PlotPair& p : r.pairs) drawn.push_back(p.drawn);
    EXPECT_EQ(drawn, c.drawn);
    EXPECT_EQ(r.pairs.back().t1, c.lastFrom);
    EXPECT_EQ(r.stats.count, 4);
    EXPECT_DOUBLE_EQ(r.stats.average, 0.2);
  }
}

TEST(DayPass, NoonPairEndsTheMorningPanelThenAfternoonStays) {
  const PassResult r = pass(line("11:58", "1") + line("11:59", "1") + line("12:00", "1") +
                            line("12:01", "1") + line("23:58", "1") + line("23:59", "1"));
  ASSERT_EQ(r.pairs.size(), 5u);
  EXPECT_EQ(r.pairs[1].halfDay, HalfDay::Morning);
  EXPECT_EQ(std::tie(r.pairs[1].t1, r.pairs[1].t2), std::tuple(719, 720));
  EXPECT_TRUE(r.pairs[1].drawn);
  EXPECT_EQ(r.pairs[2].halfDay, HalfDay::Afternoon);
  EXPECT_EQ(std::tie(r.pairs[2].t1, r.pairs[2].t2), std::tuple(0, 1));
  EXPECT_FALSE(r.pairs[3].drawn);  // 12:01 -> 23:58
  EXPECT_EQ(std::tie(r.pairs[4].t1, r.pairs[4].t2), std::tuple(718, 719));
  EXPECT_TRUE(r.pairs[4].drawn);
}

TEST(DayPass, AfternoonStaysForAnEarlierHourLaterInTheFile) {
  const PassResult r =
      pass(line("12:00", "1") + line("12:01", "1") + line("03:00", "1") + line("03:01", "1"));
  ASSERT_EQ(r.pairs.size(), 3u);
  EXPECT_EQ(r.pairs[2].halfDay, HalfDay::Afternoon);
  EXPECT_EQ(r.pairs[2].t1, 180);
  EXPECT_TRUE(r.pairs[2].drawn);
}

TEST(DayPass, TimeTextThatIsNoNumberCountsAsZero) {
  const PassResult r = pass(line("xx:yy", "1") + line("00:01", "1") + line("", "1"));
  ASSERT_EQ(r.pairs.size(), 2u);
  EXPECT_EQ(r.pairs[0].t1, 0);
  EXPECT_TRUE(r.pairs[0].drawn);
  EXPECT_EQ(r.pairs[1].t2, 0);
}

TEST(ReadDaySummary, CountsAndTheMeansInterval) {
  const fs::path dir = fs::temp_directory_path() / "read_day_summary";
  fs::create_directories(dir);
  const std::string folder = dir.string() + "/";
  // 1440 minutes of 20 pulses at 0.1 μSv/h: 28800 pulses behind a mean of 0.1.
  {
    std::ofstream out(folder + dayFileName("20110401"), std::ios::binary);
    for (int m = 0; m < 1440; ++m) out << "\"2011/04/01\",\"00:00\",0.1,20,1,60\r\n";
  }
  const DaySummary day = readDaySummary(folder, "20110401").value;
  EXPECT_TRUE(day.present);
  EXPECT_EQ(day.records, 1440);
  EXPECT_EQ(day.counts, std::optional<int64_t>(28800));
  const auto mean = meanInterval95(day);
  ASSERT_TRUE(mean.has_value());
  EXPECT_NEAR(mean->lower, 0.1 * (1 - 1.96 / std::sqrt(28800.0)), 2e-5);
  EXPECT_NEAR(mean->upper, 0.1 * (1 + 1.96 / std::sqrt(28800.0)), 2e-5);
  // A CPM that is no count leaves the day without an interval; no file, no summary.
  std::ofstream(folder + dayFileName("20110402"), std::ios::binary)
      << line("00:00", "0.1") << "\"2011/04/01\",\"00:01\",0.1,x,1,60\r\n";
  EXPECT_FALSE(meanInterval95(readDaySummary(folder, "20110402").value).has_value());
  EXPECT_EQ(readDaySummary(folder, "20110402").value.records, 2);
  EXPECT_FALSE(readDaySummary(folder, "20110403").value.present);
  fs::remove_all(dir);
}

// The interval comes from the pulses behind the mean: a day of no pulse gives no dose
// per pulse to scale by, so it has none; from one pulse on it has one.
TEST(MeanInterval95, NoneWithoutPulsesFromOnePulseOn) {
  const struct {
    const char* name;
    bool present;
    std::optional<int64_t> counts;
    double mean;
    std::optional<CountInterval> expected;
  } cases[] = {
      {"no pulse", true, 0, 0.0, std::nullopt},
      {"no pulse, a mean less a background", true, 0, 0.02, std::nullopt},
      {"one pulse", true, 1, 0.01, CountInterval{0.000253, 0.05572}},
      {"two pulses", true, 2, 0.02, CountInterval{0.002422, 0.072247}},
      {"a CPM that is no count", true, std::nullopt, 0.01, std::nullopt},
      {"no file", false, 5, 0.01, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DaySummary day;
    day.present = c.present;
    day.counts = c.counts;
    day.mean = c.mean;
    const auto interval = meanInterval95(day);
    EXPECT_EQ(interval.has_value(), c.expected.has_value());
    if (!interval || !c.expected) continue;
    EXPECT_NEAR(interval->lower, c.expected->lower, 1e-6);
    EXPECT_NEAR(interval->upper, c.expected->upper, 1e-5);
  }
}

// A minute's record as ratemon makes it: the gross dose cut to three decimals in single
// precision, less the background dose, never below 0, written with three decimals.
DayRecord minuteRecord(int64_t cpm, float factor, float background) {
  const float gross = std::floor(static_cast<float>(cpm) / factor * 1000.0f) / 1000.0f;
  const float cutBackground = std::floor(background / factor * 1000.0f) / 1000.0f;
  DayRecord r;
  r.rate = std::round(std::max(0.0f, gross - cutBackground) * 1000.0) / 1000.0;
  r.cpm = cpm;
  return r;
}

// Days (of an hour) simulated minute by minute with a tube of 108 CPM per μSv/h: the interval holds
// the true net rate (with the background dose as ratemon takes it off) in at least 94 %
// of them, with no background, with one, and with one so near the rate that many
// minutes are cut to 0.
TEST(MeanInterval95, CoversTheTrueNetRateOfSimulatedDays) {
  constexpr float kFactor = 108;
  constexpr int kDays = 20000, kMinutes = 60;  // an hour a day keeps it fast
  const struct {
    const char* name;
    double cpm;
    float background;  // CPM
  } cases[] = {{"no background", 20, 0}, {"background", 20, 12}, {"cut to 0", 14, 12}};
  std::mt19937_64 random(20261209);
  std::vector<DayRecord> rows(kMinutes);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const double truth = c.cpm / kFactor - std::floor(c.background / kFactor * 1000.0f) / 1000.0f;
    std::poisson_distribution<int64_t> minute(c.cpm);
    int covered = 0, scaled = 0;
    for (int d = 0; d < kDays; ++d) {
      for (DayRecord& row : rows) row = minuteRecord(minute(random), kFactor, c.background);
      const DaySummary day = summarizeDay("20261209", rows, {});
      scaled += day.scale.has_value();
      const auto interval = meanInterval95(day);
      covered += interval && interval->lower <= truth && truth <= interval->upper;
    }
    EXPECT_EQ(scaled, kDays);
    EXPECT_GE(covered, kDays * 94 / 100);
  }
}

// Whole days simulated minute by minute as ratemon writes them: the mean lies inside its
// interval, and over the days it is within 2 % of the true net rate (with the background
// dose as ratemon takes it off) where the mean of the records, each cut at 0, is far
// above it; a day whose pulses lie below the background is shown at 0 and told.
TEST(DayMean95, FromTheCountsInsideItsIntervalAndUnbiased) {
  constexpr float kFactor = 108;
  constexpr int kDays = 40, kMinutes = 1440;
  const struct {
    const char* name;
    double cpm;
    float background;    // CPM
    double recordsBias;  // when above 0, the records' mean is over the truth by at least this
  } cases[] = {{"no background", 20, 0, 0.0},
               {"background near the rate", 20, 18, 0.3},
               {"background half the rate", 200, 100, 0.0}};
  std::mt19937_64 random(20261210);
  std::vector<DayRecord> rows(kMinutes);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const double truth = c.cpm / kFactor - std::floor(c.background / kFactor * 1000.0f) / 1000.0f;
    std::poisson_distribution<int64_t> minute(c.cpm);
    double sum = 0, recordsSum = 0;
    for (int d = 0; d < kDays; ++d) {
      for (DayRecord& row : rows) row = minuteRecord(minute(random), kFactor, c.background);
      const DaySummary day = summarizeDay("20261210", rows, {});
      const auto mean = dayMean95(day);
      ASSERT_TRUE(mean);
      EXPECT_LE(mean->interval.lower, mean->mean);
      EXPECT_GE(mean->interval.upper, mean->mean);
      EXPECT_FALSE(mean->belowBackground);
      EXPECT_EQ(day.netMean, mean->mean);  // what the month and year graphs draw
      sum += mean->mean;
      recordsSum += day.mean;
    }
    EXPECT_NEAR(sum / kDays / truth, 1.0, 0.02);
    if (c.recordsBias > 0) {
      EXPECT_GE(recordsSum / kDays / truth, 1.0 + c.recordsBias);
    }
  }
  DaySummary below;  // 50 pulses a minute over a background of 60 at 100 CPM per μSv/h
  below.present = true;
  below.records = 60;
  below.counts = 3000;
  below.mean = 0.01;
  below.scale = DoseScale{0.01, 0.6};
  const auto mean = dayMean95(below);
  ASSERT_TRUE(mean);
  EXPECT_TRUE(mean->belowBackground);
  EXPECT_EQ(mean->mean, 0.0);
  EXPECT_EQ(mean->interval.lower, 0.0);
  EXPECT_EQ(mean->interval.upper, 0.0);
}

// The scale is found from a day file as ratemon wrote it; an interval whose lower end
// would fall below 0 is cut there and keeps its upper end.
TEST(MeanInterval95, FromTheCountsLessTheBackgroundAndCutAtZero) {
  const fs::path dir = fs::temp_directory_path() / "mean_interval_scale";
  fs::create_directories(dir);
  const std::string folder = dir.string() + "/";
  {
    std::ofstream out(folder + dayFileName("20110401"), std::ios::binary);
    for (int m = 0; m < 60; ++m) {
      const DayRecord r = minuteRecord(8 + m * 7 % 25, 108, 12);
      out << "\"2011/04/01\",\"00:" << (m < 10 ? "0" : "") << m << "\"," << r.rate << "," << *r.cpm
          << ",1,60\r\n";
    }
  }
  const DaySummary day = readDaySummary(folder, "20110401").value;
  ASSERT_TRUE(day.scale);
  EXPECT_NEAR(day.scale->perCount, 1 / 108.0, 5e-5);  // within what the cuts leave
  EXPECT_DOUBLE_EQ(day.scale->background, 0.111);
  fs::remove_all(dir);

  DaySummary near;  // 1 pulse a minute over a background of 0.8 CPM at 100 CPM per μSv/h
  near.present = true;
  near.records = 60;
  near.counts = 60;
  near.mean = 0.001;
  near.scale = DoseScale{0.01, 0.008};
  const auto interval = meanInterval95(near);
  ASSERT_TRUE(interval);
  EXPECT_EQ(interval->lower, 0.0);
  EXPECT_NEAR(interval->upper, poissonInterval95(60).upper * 0.01 / 60 - 0.008, 1e-12);
  EXPECT_GT(interval->upper, 0.0);
}

// Minutes set aside for a fault take no part in the day's mean: the day with them set aside
// is the day without them. The month's mean is the days' net means by their records, not
// the records' mean that their cut at 0 lifts.
TEST(DayMean95, MinutesSetAsideAndTheMonthsMeanFromTheNetMeans) {
  std::vector<DayRecord> kept, all;
  std::vector<bool> aside;
  for (int m = 0; m < 240; ++m) {
    kept.push_back(minuteRecord(8 + m * 7 % 25, 108, 18));  // cut to 0 below 18 CPM
    all.push_back(kept.back());
    aside.push_back(false);
    if (m % 4 == 0) {  // hum: a count far over the tube's
      all.push_back(minuteRecord(400 + m, 108, 18));
      aside.push_back(true);
    }
  }
  const DaySummary whole = summarizeDay("20110401", kept, {});
  const DaySummary sparing = summarizeDay("20110401", all, aside);
  ASSERT_TRUE(whole.scale && sparing.scale);
  EXPECT_EQ(sparing.setAside, 60);
  EXPECT_NEAR(sparing.netMean, whole.netMean, 1e-9);
  ASSERT_GT(whole.mean, whole.netMean + 0.01);  // the cut at 0 lifts the records' mean

  const fs::path dir = fs::temp_directory_path() / "period_net_mean";
  fs::create_directories(dir);
  {
    std::ofstream out(dir / dayFileName("20110401"), std::ios::binary);
    for (int m = 0; m < 240; ++m)
      out << "\"2011/04/01\",\"0" << m / 60 << ":" << (m % 60 < 10 ? "0" : "") << m % 60 << "\","
          << kept[static_cast<size_t>(m)].rate << "," << *kept[static_cast<size_t>(m)].cpm
          << ",1,60\r\n";
  }
  const PeriodTable month = readPeriodTable(dir.string() + "/", *parseMonth("201104")).value;
  EXPECT_DOUBLE_EQ(month.mean, roundHalfEven(whole.netMean, 3));
  fs::remove_all(dir);
}

TEST(ReadingsSettings, OffWithoutAFileAndReadBack) {
  const std::string path = (fs::temp_directory_path() / "readings_settings_test.ini").string();
  fs::remove(path);
  EXPECT_FALSE(readReadingsSettings(path).value.meanInterval);
  const struct {
    std::string text;
    bool on;
    std::vector<int> unknown;
  } cases[] = {
      {readingsSettingsText({true}), true, {}},
      {readingsSettingsText({false}), false, {}},
      {"# note\n\n mean_interval=1 \n", true, {}},
      {"mean_interval=yes\r\n\r\nother=1\r\n", false, {1, 3}},
  };
  for (const auto& c : cases) {
    std::ofstream(path, std::ios::binary) << c.text;
    const auto loaded = readReadingsSettings(path);
    EXPECT_EQ(loaded.value.meanInterval, c.on) << c.text;
    std::vector<int> unknown;
    for (const auto& issue : loaded.issues) unknown.push_back(issue.line);
    EXPECT_EQ(unknown, c.unknown) << c.text;
  }
  fs::remove(path);
}

}  // namespace
}  // namespace radmon
