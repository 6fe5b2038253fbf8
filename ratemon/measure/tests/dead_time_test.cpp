#include "dead_time.h"
#include "counting_settings.h"
#include "reading_interval.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>

#include "temp_station.h"

namespace radmon {

TEST(CorrectDeadTime, NonParalysableUpToTheCapThenNeverBelowTheCount) {
  constexpr double kTau = 0.5e-3;
  const double atCap = kDeadTimeCap / kTau * 60 / (1 - kDeadTimeCap);
  const struct {
    double counted, seconds, tau, rate;
    bool capped;
  } cases[] = {
      {1200, 60, 0, 1200, false},  // off: the count as it is
      {1200, 60, -1, 1200, false},
      {0, 60, kTau, 0, false},
      {24000, 60, kTau, 30000, false},  // 400/s counted: 500/s true, mτ = 0.2
      {400, 1, kTau, 500, false},       // the same over one second
      {35999, 60, kTau, 35999 / (1 - 35999 / 60.0 * kTau), false},  // just under the cap
      {36000, 60, kTau, atCap, true},                               // mτ = 0.3: at the cap
      {50000, 60, kTau, atCap, true},  // beyond: at least the rate at the cap...
      {56715, 60, kTau, 56715, true},  // ...and at least what was counted
      {1e9, 60, kTau, 1e9, true},
  };
  for (const auto& c : cases) {
    const DeadTimeResult r = correctDeadTime(c.counted, c.seconds, c.tau);
    EXPECT_NEAR(r.rate, c.rate, 1e-9 * c.rate) << c.counted << " in " << c.seconds;
    EXPECT_EQ(r.capped, c.capped) << c.counted << " in " << c.seconds;
  }
  // It never falls as the count rises, nor lies below it.
  double before = 0;
  for (double counted = 0; counted <= 120000; counted += 250) {
    const double rate = correctDeadTime(counted, 60, kTau).rate;
    ASSERT_GE(rate, before) << counted;
    ASSERT_GE(rate, counted) << counted;
    before = rate;
  }
  // Counting the corrected rate through a counter with τ gives back what was counted.
  const double truth = correctDeadTime(24000, 60, kTau).rate / 60;
  EXPECT_NEAR(truth / (1 + truth * kTau) * 60, 24000, 1e-6);
}

TEST(ReadingInterval95, FromTheCountsBehindTheFigureSummedFromTheChainsSlots) {
  // 20 pulses in a minute with a factor of 60 CPM per μSv/h.
  const ReadingInterval minute = readingInterval95(20, 60, 60.0f, 0.0f);
  EXPECT_NEAR(minute.cpmLow, 12.21652, 1e-4);
  EXPECT_NEAR(minute.cpmHigh, 30.88838, 1e-4);
  EXPECT_NEAR(minute.doseHigh, 30.88838 / 60, 1e-6);
  // 10 pulses in the first 30 s rest on fewer pulses: a wider interval around 20 CPM.
  const ReadingInterval half = readingInterval95(10, 30, 60.0f, 0.0f);
  EXPECT_LT(half.cpmLow, minute.cpmLow);
  EXPECT_GT(half.cpmHigh, minute.cpmHigh);
  // The background is taken off both bounds, never below 0.
  const ReadingInterval net = readingInterval95(20, 60, 60.0f, 0.25f);
  EXPECT_DOUBLE_EQ(net.doseLow, 0.0);
  EXPECT_NEAR(net.doseHigh, 30.88838 / 60 - 0.25, 1e-6);
  // With the dead-time correction on, the bounds are corrected like the figure.
  const ReadingInterval busy = readingInterval95(24000, 60, 60.0f, 0.0f, 0.5e-3);
  EXPECT_LT(busy.cpmLow, 30000);
  EXPECT_GT(busy.cpmHigh, 30000);
  // Its count spreads 1 − mτ = 0.8 times a Poisson count's.
  EXPECT_NEAR(busy.cpmHigh - busy.cpmLow, 2 * 1.96 * std::sqrt(24000.0) * 0.8 / 0.64, 5);
  EXPECT_EQ(readingInterval95(5, 0, 60.0f, 0.0f).cpmHigh, 0);  // nothing counted yet
  // It sums the chain's count slots.
  DoseChain chain;
  DoseResult last;
  for (int64_t s = 1; s <= 30; ++s) last = chain.step(s, 2, 10, 0);
  EXPECT_EQ(readingInterval95(chain, 30, last).counts, 60);
  EXPECT_EQ(readingInterval95(chain, 30, last).seconds, 30);
  for (int64_t s = 31; s <= 100; ++s) last = chain.step(s, 1, 10, 0);
  const ReadingInterval r = readingInterval95(chain, 100, last);
  EXPECT_EQ(r.counts, 60);
  EXPECT_EQ(r.seconds, 60);
  EXPECT_LE(r.cpmLow, static_cast<double>(last.cpm));
  EXPECT_GE(r.cpmHigh, static_cast<double>(last.cpm));
}

// A non-paralysable counter blind for τ after each pulse it counts, at 20000 CPM: its
// counted pulses come τ plus an exponential apart, fewer and more regular than a Poisson
// count. The corrected interval of each minute holds the true rate 93 to 97 % of the
// time, and always holds the figure.
TEST(ReadingInterval95, CorrectedIntervalsCoverTheTrueRateOfANonParalysableCounter) {
  constexpr double kTrueCpm = 20000, kTau = 499e-6;
  constexpr int kMinutes = 10000;
  std::mt19937_64 random(20261210);
  std::exponential_distribution<double> gap(kTrueCpm / 60);
  double t = 0;
  int covered = 0;
  for (int minute = 1; minute <= kMinutes; ++minute) {
    int64_t counted = 0;
    for (; t < minute * 60.0; t += kTau + gap(random)) ++counted;
    const ReadingInterval r = readingInterval95(counted, 60, 108.0f, 0.0f, kTau);
    const double figure = correctDeadTime(static_cast<double>(counted), 60, kTau).rate;
    ASSERT_LE(r.cpmLow, figure);
    ASSERT_GE(r.cpmHigh, figure);
    covered += r.cpmLow <= kTrueCpm && kTrueCpm <= r.cpmHigh;
  }
  EXPECT_GE(covered, kMinutes * 93 / 100);
  EXPECT_LE(covered, kMinutes * 97 / 100);
  // Past the cap the figure is the rate at the cap cut to whole CPM and three decimals,
  // and the interval's lower end, the same rate uncut, is held to it (60000 CPM at τ =
  // 499 µs is counted at 40027 and shown as 51531).
  DoseChain chain;
  DoseResult last;
  for (int64_t s = 1; s <= 120; ++s) last = chain.step(s, 667, 18, 0, kTau);
  ASSERT_TRUE(last.deadTimeCapped);
  const ReadingInterval capped = readingInterval95(chain, 120, last, kTau);
  EXPECT_EQ(last.cpm, 51531);
  EXPECT_LE(capped.cpmLow, static_cast<double>(last.cpm));
  EXPECT_LE(capped.doseLow, static_cast<double>(last.netDoseRate));
  EXPECT_TRUE(capped.openAbove);
}

TEST(CountingSettings, FileReadsBackBadLinesAreToldAndTheScansOwnDeadTimeIsOffered) {
  ftp::testing::TempStation temp{"radmon_counting", "station", {}};
  const std::string path = (temp.program / "counting_settings_test.ini").string();
  EXPECT_EQ(loadCountingSettings(path).value, CountingSettings{});  // no file: all off
  EXPECT_TRUE(loadCountingSettings(path).issues.empty());

  const CountingSettings chosen{499, true, true};
  ASSERT_TRUE(saveCountingSettings(path, chosen));
  EXPECT_EQ(loadCountingSettings(path).value, chosen);

  using I = LineIssue<SettingsIssue>;
  constexpr auto bad = SettingsIssue::BadValue, unknown = SettingsIssue::UnknownLine;
  const struct {
    const char* text;
    CountingSettings settings;
    std::vector<I> issues;
  } cases[] = {
      {"dead_time_us = 250\n# note\n\ngraph_band=0\n", {250, false}, {}},
      {"dead_time_us=-1\r\n", {}, {{1, bad, "dead_time_us"}}},
      {"dead_time_us=abc\r\ngraph_band=1\r\n", {0, true}, {{1, bad, "dead_time_us"}}},
      {"dead_time_us=100001\r\n", {}, {{1, bad, "dead_time_us"}}},
      {"alarm_on_evidence=1\r\n", {0, false, true}, {}},
      {"alarm_on_evidence=on\r\n", {}, {{1, unknown, "alarm_on_evidence=on"}}},
      {"graph_band=yes\r\nspeed=3\r\n\nnonsense\r\n",
       {},
       {{1, unknown, "graph_band=yes"}, {2, unknown, "speed=3"}, {4, unknown, "nonsense"}}},
  };
  for (const auto& c : cases) {
    std::ofstream(path, std::ios::binary) << c.text;
    const auto loaded = loadCountingSettings(path);
    EXPECT_EQ(loaded.value, c.settings) << c.text;
    EXPECT_EQ(loaded.issues, c.issues) << c.text;
  }
  // The scan's own dead time is offered.
  EXPECT_NEAR(scanDeadTimeMicroseconds(10), 498.866, 1e-3);  // 11 samples, as measured
  EXPECT_NEAR(scanDeadTimeMicroseconds(0), 45.351, 1e-3);
  EXPECT_NEAR(scanDeadTimeMicroseconds(-5), 45.351, 1e-3);
  EXPECT_EQ(readDeadTime(" 499 "), 499.0);
  EXPECT_EQ(readDeadTime("0"), 0.0);
  EXPECT_FALSE(readDeadTime("1e9").has_value());
}

}  // namespace radmon
