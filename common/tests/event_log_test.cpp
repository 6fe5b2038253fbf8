#include "event_log.h"

#include <gtest/gtest.h>

namespace radmon {
namespace {

EventLine at(int h, int m, int s, EventKind kind, std::string text = "x") {
  return {{2026, 12, 8, h, m, s}, kind, std::move(text)};
}

TEST(EventLog, EveryKindRoundTripsTheLineHasItsFixedShapeAndOtherLinesAreSkipped) {
  EXPECT_EQ(eventFileName("20261208"), "μSVHEvents20261208.csv");
  EXPECT_EQ(formatEventLine(at(7, 5, 9, EventKind::NoSignal, "信号がありません, \"平坦\"")),
            "\"2026/12/08\",\"07:05:09\",\"no-signal\",\"信号がありません, 平坦\"\r\n");
  for (EventKind kind :
       {EventKind::DeviceLost, EventKind::DeviceBack, EventKind::NoSignal, EventKind::Hum,
        EventKind::Clipping, EventKind::SoundDropped, EventKind::SignalOk, EventKind::Interference,
        EventKind::AfterPulses, EventKind::DeadTimeCapped, EventKind::DeadTimeOk, EventKind::Alarm1,
        EventKind::Alarm2, EventKind::Alarm1Reset, EventKind::Alarm2Reset}) {
    const auto back = parseEventLine(formatEventLine(at(23, 59, 59, kind, "録音デバイス")));
    ASSERT_TRUE(back) << eventKindName(kind);
    EXPECT_EQ(back->kind, kind);
    EXPECT_EQ(back->when, (LocalDateTime{2026, 12, 8, 23, 59, 59}));
    EXPECT_EQ(back->text, "録音デバイス");
  }
  // Lines that are not events are skipped and counted.
  const auto read = parseEventLog(
      "\"2026/12/08\",\"01:00:00\",\"hum\",\"a\"\r\n"
      "\"2026/12/08\",\"01:00\",\"hum\",\"short time\"\r\n"
      "\"2026/12/08\",\"24:00:00\",\"hum\",\"no such hour\"\r\n"
      "\"2026/02/30\",\"01:00:00\",\"hum\",\"no such day\"\r\n"
      "\"2026/12/08\",\"01:00:00\",\"buzz\",\"no such kind\"\r\n"
      "\"2026/12/08\",\"01:00:00\",\"hum\"\r\n"
      "\r\n"
      "\"2026/12/08\",\"02:00:00\",\"signal-ok\",\"b\"");
  ASSERT_EQ(read.value.size(), 2u);
  EXPECT_EQ(read.value[1].kind, EventKind::SignalOk);
  std::vector<int> skipped;
  for (const auto& issue : read.issues) skipped.push_back(issue.line);
  EXPECT_EQ(skipped, (std::vector{2, 3, 4, 5, 6}));
  // A sign or another separator is no time or date of the log.
  EXPECT_FALSE(parseEventLine("\"2026/12/08\",\"-1:00:00\",\"hum\",\"a\""));
  EXPECT_FALSE(parseEventLine("\"2026x12x08\",\"01:00:00\",\"hum\",\"a\""));
}

TEST(EventLog, FaultPeriodsRunFromTheirEventToTheirEnd) {
  using K = EventKind;
  const std::vector<EventLine> events = {
      at(1, 0, 0, K::DeviceLost),
      at(1, 0, 30, K::SoundDropped),
      at(1, 1, 0, K::DeadTimeCapped),  // lower bounds, still measured: no period
      at(1, 1, 30, K::DeadTimeOk),
      at(1, 1, 40, K::Alarm2),  // no fault of the sound path either
      at(1, 2, 0, K::DeviceBack),
      at(2, 0, 0, K::Hum),
      at(2, 1, 0, K::Clipping),
      at(2, 1, 30, K::Hum),
      at(2, 3, 0, K::SignalOk, "ハムが止みました (hum)"),
      at(2, 4, 0, K::SignalOk, "信号が戻りました"),
      at(3, 0, 0, K::NoSignal),
      at(3, 0, 5, K::DeviceBack),
  };
  const auto periods = faultPeriods(events, 86400);
  struct Want {
    K kind;
    int from, to;
  };
  const std::vector<Want> want = {{K::DeviceLost, 3600, 3720},
                                  {K::Hum, 7200, 7380},
                                  {K::Clipping, 7260, 7440},
                                  {K::NoSignal, 10800, 86400}};
  ASSERT_EQ(periods.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(std::tie(periods[i].kind, periods[i].from, periods[i].to),
              std::tie(want[i].kind, want[i].from, want[i].to));
  }
  EXPECT_TRUE(faultPeriods({}, 86400).empty());
}

}  // namespace
}  // namespace radmon
