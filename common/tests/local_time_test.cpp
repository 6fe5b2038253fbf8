#include "local_time.h"

#include <gtest/gtest.h>

namespace radmon {

TEST(LocalDateTime, FormatsAndArithmeticAcrossMidnightMonthsAndLeapDays) {
  const LocalDateTime t{2011, 9, 19, 7, 5, 9};
  EXPECT_EQ(std::tuple(t.yyyymmdd(), t.slashDate(), t.hhmm(), t.isoText()),
            std::tuple("20110919", "2011/09/19", "07:05", "2011-09-19 07:05:09"));
  EXPECT_EQ(t.logLine("a\nb"), "2011/09/19 07:05:09 a\n2011/09/19 07:05:09 b");
  // Arithmetic across midnight, months and leap days.
  EXPECT_EQ((LocalDateTime{2011, 12, 31, 23, 59, 30}.plusSeconds(30)),
            (LocalDateTime{2012, 1, 1, 0, 0, 0}));
  EXPECT_EQ((LocalDateTime{2024, 3, 1, 10, 0, 0}.previousDay()),
            (LocalDateTime{2024, 2, 29, 10, 0, 0}));
  EXPECT_EQ((LocalDateTime{2023, 3, 1, 0, 0, 0}.previousDay().yyyymmdd()), "20230228");
}

TEST(LocalDateTime, ParsesOnlyRealDatesAndAManualClockAdvancesOnlyWhenTold) {
  EXPECT_EQ(LocalDateTime::parse("2026-12-08 23:59:30"), (LocalDateTime{2026, 12, 8, 23, 59, 30}));
  EXPECT_EQ(LocalDateTime::parse("2026-12-08"), (LocalDateTime{2026, 12, 8, 0, 0, 0}));
  EXPECT_FALSE(LocalDateTime::parse("2026-02-30 00:00:00"));
  EXPECT_FALSE(LocalDateTime::parse("2026-12-08 24:00:00"));
  EXPECT_FALSE(LocalDateTime::parse("yesterday"));
  EXPECT_EQ(LocalDateTime::fromYyyymmdd("20110401")->slashDate(), "2011/04/01");
  EXPECT_FALSE(LocalDateTime::fromYyyymmdd("20111301"));
  EXPECT_FALSE(LocalDateTime::fromYyyymmdd("2011041"));
  // A manual clock advances only when told.
  ManualClock clock({2011, 9, 19, 23, 59, 59});
  EXPECT_EQ(clock.now().yyyymmdd(), "20110919");
  clock.advance(1);
  EXPECT_EQ(clock.now().yyyymmdd(), "20110920");
  EXPECT_EQ(clock.now().hhmm(), "00:00");
  // Across the new year and back.
  const LocalDateTime eve{2011, 12, 31, 23, 59, 30};
  EXPECT_EQ(eve.secondsUntil({2012, 1, 1, 0, 1, 0}), 90);
  EXPECT_EQ(LocalDateTime({2012, 1, 1, 0, 1, 0}).secondsUntil(eve), -90);
}

}  // namespace radmon
