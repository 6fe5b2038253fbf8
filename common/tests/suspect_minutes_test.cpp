#include "suspect_minutes.h"

#include <gtest/gtest.h>

namespace radmon {
namespace {

constexpr int hms(int h, int m, int s = 0) { return h * 3600 + m * 60 + s; }

TEST(SuspectMinutes, ARecordIsSetAsideWhenAFaultReachesIntoTheMinutesAroundItsStamp) {
  // Hum told at 10:00:30 (heard from about 10:00:00), its end told at 11:00:10.
  const std::vector<FaultPeriod> hum{{EventKind::Hum, hms(10, 0, 30), hms(11, 0, 10)}};
  struct Case {
    int stamp;
    bool suspect;
  };
  for (const Case c : {Case{hms(9, 58), false},   // its sound ended by 09:58:59
                       Case{hms(9, 59), true},    // may hold the hum before it was told
                       Case{hms(10, 30), true},   // inside
                       Case{hms(11, 1), true},    // heard from 11:00:xx: may hold the end
                       Case{hms(11, 2), false}})  // all heard after the end
    EXPECT_EQ(!faultsOverRecord(c.stamp, hum).empty(), c.suspect) << c.stamp;

  // A fault and its end in one second still marks its minutes; each kind is named once.
  const std::vector<FaultPeriod> several{{EventKind::Clipping, hms(3, 0, 5), hms(3, 0, 5)},
                                         {EventKind::Hum, hms(3, 0, 20), hms(3, 0, 40)},
                                         {EventKind::Clipping, hms(3, 0, 50), hms(3, 1, 0)}};
  EXPECT_EQ(faultsOverRecord(hms(3, 1), several),
            (std::vector<EventKind>{EventKind::Clipping, EventKind::Hum}));
  EXPECT_EQ(healthWords(faultsOverRecord(hms(3, 1), several)), "clipping,hum");
  EXPECT_EQ(healthWords({}), "ok");
}

TEST(SuspectMinutes, OneFlagPerRecordAndARecordWithoutATimeIsKept) {
  std::vector<DayRecord> rows(4);
  for (auto& row : rows) row.date = "2026/12/08";
  rows[0].time = "00:00";
  rows[1].time = "12:00";
  rows[2].time = "12:0";
  rows[3].time = "23:59";
  const std::vector<FaultPeriod> open{{EventKind::NoSignal, hms(11, 59, 30), 86400}};
  EXPECT_EQ(suspectRecords(rows, open), (std::vector<bool>{false, true, false, true}));
  EXPECT_EQ(suspectRecords(rows, {}), (std::vector<bool>(4, false)));
}

}  // namespace
}  // namespace radmon
