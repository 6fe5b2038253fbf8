#include "scheduler.h"

#include <gtest/gtest.h>

namespace radmon {
namespace {

LocalDateTime at(int y, int mo, int d, int h, int mi, int s = 0) { return {y, mo, d, h, mi, s}; }

DayplotStart realtime(int16_t period) {
  DayplotStart s;
  s.controls.todayEvery = 1;
  s.RealtimeInterval = period;
  return s;
}

DayplotStart yesterdayAt(std::string hour, std::string minute) {
  DayplotStart s;
  s.controls.yesterdayAt = 1;
  s.controls.atHour = std::move(hour);
  s.controls.atMinute = std::move(minute);
  return s;
}

const DueRun kToday{RunKind::Today, "20110315"};

TEST(DueRuns, PeriodTenSkipsMidnightAndMinutesOffThePeriodAndComesFirst) {
  const DayplotStart s = realtime(10);
  EXPECT_TRUE(dueRuns(at(2011, 3, 15, 0, 0), s).empty());
  EXPECT_EQ(dueRuns(at(2011, 3, 15, 0, 10), s), std::vector<DueRun>{kToday});
  EXPECT_TRUE(dueRuns(at(2011, 3, 15, 0, 15), s).empty());
  EXPECT_EQ(dueRuns(at(2011, 3, 15, 23, 50, 59), s), std::vector<DueRun>{kToday});
  // With yesterday's run due in the same minute, today's comes first.
  DayplotStart both = yesterdayAt("00", "10");
  both.controls.todayEvery = 1;
  both.RealtimeInterval = 10;
  EXPECT_EQ(
      dueRuns(at(2011, 3, 15, 0, 10, 58), both),
      (std::vector<DueRun>{kToday, {RunKind::Yesterday, "20110314"}, {RunKind::Month, "201103"}}));
}

TEST(DueRuns, RunsPerDayForEachPeriod) {
  const std::pair<int16_t, int> expected[] = {{10, 143}, {20, 71}, {30, 47}, {60, 23}};
  for (const auto& [period, count] : expected) {
    int runs = 0;
    int firstHour = -1, lastHour = -1;
    for (int minute = 0; minute < 1440; ++minute) {
      const auto due = dueRuns(at(2011, 3, 15, minute / 60, minute % 60), realtime(period));
      if (due.empty()) continue;
      ++runs;
      if (firstHour < 0) firstHour = minute;
      lastHour = minute;
    }
    EXPECT_EQ(runs, count) << "period " << period;
    EXPECT_EQ(firstHour, period) << "period " << period;  // the first run of the day
    EXPECT_EQ(lastHour, 1440 - period) << "period " << period;
  }
  // Period 60: 01:00 through 23:00 on the hour only.
  EXPECT_TRUE(dueRuns(at(2011, 3, 15, 0, 0), realtime(60)).empty());
  EXPECT_TRUE(dueRuns(at(2011, 3, 15, 13, 30), realtime(60)).empty());
  EXPECT_FALSE(dueRuns(at(2011, 3, 15, 23, 0), realtime(60)).empty());
}

TEST(DueRuns, YesterdayAcrossMonthAndYearEnds) {
  const DayplotStart s = yesterdayAt("00", "03");
  EXPECT_EQ(dueRuns(at(2012, 3, 1, 0, 3), s),
            (std::vector<DueRun>{{RunKind::Yesterday, "20120229"},
                                 {RunKind::Month, "201202"}}));  // leap year
  EXPECT_EQ(dueRuns(at(2011, 3, 1, 0, 3), s),
            (std::vector<DueRun>{{RunKind::Yesterday, "20110228"}, {RunKind::Month, "201102"}}));
  EXPECT_EQ(dueRuns(at(2011, 1, 1, 0, 3, 45), s),
            (std::vector<DueRun>{{RunKind::Yesterday, "20101231"}, {RunKind::Month, "201012"}}));
  // Within a month its month so far, once a day after yesterday's run.
  EXPECT_EQ(dueRuns(at(2011, 3, 16, 0, 3), s),
            (std::vector<DueRun>{{RunKind::Yesterday, "20110315"}, {RunKind::Month, "201103"}}));
  EXPECT_TRUE(dueRuns(at(2011, 1, 1, 0, 4), s).empty());
  EXPECT_TRUE(dueRuns(at(2011, 1, 1, 1, 3), s).empty());
}

TEST(DueRuns, StartTimeIsComparedAsTwoDigitTextAndClearedBoxesRunNothing) {
  for (const auto& [hour, minute] : std::vector<std::pair<std::string, std::string>>{
           {"00", "3"}, {"0", "03"}, {"00", "003"}, {"", ""}, {"00", " 3"}}) {
    for (int m = 0; m < 1440; ++m) {
      ASSERT_TRUE(dueRuns(at(2011, 3, 15, m / 60, m % 60), yesterdayAt(hour, minute)).empty())
          << "'" << hour << "' '" << minute << "' at minute " << m;
    }
  }
  EXPECT_EQ(dueRuns(at(2011, 3, 15, 23, 59), yesterdayAt("23", "59")).size(), 2u);
  DayplotStart s;  // both cleared, the design defaults
  for (int m = 0; m < 1440; ++m)
    ASSERT_TRUE(dueRuns(at(2011, 3, 15, m / 60, m % 60), s).empty()) << m;
  s.controls.todayEvery = 1;
  s.RealtimeInterval = 0;  // a damaged period never divides by zero
  EXPECT_TRUE(dueRuns(at(2011, 3, 15, 0, 10), s).empty());
}

TEST(MinuteScheduler, NothingAtStartEachMinuteOnceAndTheNextTickJustAfterIt) {
  MinuteScheduler scheduler(at(2011, 3, 15, 0, 9, 58));
  const DayplotStart s = realtime(10);
  EXPECT_TRUE(scheduler.tick(at(2011, 3, 15, 0, 9, 59), s).empty());  // early timer
  EXPECT_EQ(scheduler.tick(at(2011, 3, 15, 0, 10, 0), s), std::vector<DueRun>{kToday});
  EXPECT_TRUE(scheduler.tick(at(2011, 3, 15, 0, 10, 30), s).empty());  // same minute again
  EXPECT_TRUE(scheduler.tick(at(2011, 3, 15, 0, 11, 0), s).empty());
  // The next tick just after the next minute.
  using std::chrono::milliseconds;
  EXPECT_EQ(MinuteScheduler::untilNextMinute(at(2011, 3, 15, 0, 9, 58)), milliseconds(2500));
  EXPECT_EQ(MinuteScheduler::untilNextMinute(at(2011, 3, 15, 0, 10, 0)), milliseconds(60500));
  EXPECT_EQ(minuteNumber(at(2011, 1, 1, 0, 0)) - minuteNumber(at(2010, 12, 31, 23, 59)), 1);
}

TEST(MinuteScheduler, ALateTickMakesUpMissedMinutesOncePerDayAndOfTheLastDayOnly) {
  DayplotStart s = realtime(10);
  s.controls.yesterdayAt = 1;  // yesterday at 00:03
  MinuteScheduler scheduler(at(2011, 3, 15, 23, 55, 10));
  // A run that lasted from 23:56 to 00:25: 00:00 is not due, 00:03 is yesterday (the
  // 15th), 00:10 and 00:20 are today twice over but one run.
  EXPECT_EQ(scheduler.tick(at(2011, 3, 16, 0, 25, 2), s),
            (std::vector<DueRun>{{RunKind::Yesterday, "20110315"},
                                 {RunKind::Month, "201103"},
                                 {RunKind::Today, "20110316"}}));
  // A clock set back examines its own minute only.
  EXPECT_EQ(scheduler.tick(at(2011, 3, 16, 0, 20, 1), s),
            (std::vector<DueRun>{{RunKind::Today, "20110316"}}));
  // A gap of days makes up the last day only.
  MinuteScheduler gap(at(2011, 3, 1, 12, 0));
  EXPECT_EQ(gap.tick(at(2011, 3, 10, 12, 0), yesterdayAt("00", "03")),
            (std::vector<DueRun>{{RunKind::Yesterday, "20110309"}, {RunKind::Month, "201103"}}));
}

TEST(StartTimeUsable, TwoDigitsInRangeOnly) {
  const std::pair<std::pair<const char*, const char*>, bool> cases[] = {
      {{"00", "03"}, true}, {{"23", "59"}, true},  {{"3", "03"}, false},
      {{"03", "3"}, false}, {{"24", "00"}, false}, {{"00", "60"}, false},
      {{"", "00"}, false},  {{"0a", "00"}, false}, {{"003", "00"}, false},
  };
  for (const auto& [time, usable] : cases) {
    SCOPED_TRACE(std::string(time.first) + ":" + time.second);
    DayplotSettings s;
    s.yesterdayAt = 1;
    s.atHour = time.first;
    s.atMinute = time.second;
    EXPECT_EQ(startTimeUsable(s), usable);
  }
}

}  // namespace
}  // namespace radmon
