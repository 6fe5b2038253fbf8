#include "scheduler.h"

#include <algorithm>
#include <set>
#include <utility>

#include "number_text.h"

namespace radmon {

bool startTimeUsable(const DayplotSettings& s) {
  auto twoDigits = [](const std::string& text, int highest) {
    return text.size() == 2 && readCount(text, 0, highest);
  };
  return twoDigits(s.atHour, 23) && twoDigits(s.atMinute, 59);
}

int64_t minuteNumber(const LocalDateTime& t) {
  using namespace std::chrono;
  const sys_days day = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                      std::chrono::day{static_cast<unsigned>(t.day)}};
  return static_cast<int64_t>(day.time_since_epoch().count()) * 1440 + t.hour * 60 + t.minute;
}

std::vector<DueRun> dueRuns(const LocalDateTime& t, const DayplotStart& start) {
  const DayplotSettings& s = start.controls;
  std::vector<DueRun> runs;
  const std::string hhmm = t.hhmm();
  // 00:00 belongs to the day just begun, which has no record yet; the last minutes of
  // yesterday are the daily run's business.
  if (s.todayEvery == 1 && hhmm != "00:00" && start.RealtimeInterval > 0 &&
      t.minute % start.RealtimeInterval == 0) {
    runs.push_back({RunKind::Today, t.yyyymmdd()});
  }
  if (s.yesterdayAt == 1 && hhmm.substr(0, 2) == s.atHour && hhmm.substr(3, 2) == s.atMinute) {
    runs.push_back({RunKind::Yesterday, t.previousDay().yyyymmdd()});
    // The month that yesterday completed or continued: on the 1st the month just ended
    // is drawn whole, on other days the current one so far.
    runs.push_back({RunKind::Month, t.previousDay().yyyymmdd().substr(0, 6)});
  }
  return runs;
}

MinuteScheduler::MinuteScheduler(const LocalDateTime& start) : last_(start) {}

std::vector<DueRun> MinuteScheduler::tick(const LocalDateTime& now, const DayplotStart& settings) {
  const int64_t gap = minuteNumber(now) - minuteNumber(last_);
  if (gap == 0) return {};
  LocalDateTime minute = now;
  minute.second = 0;
  int64_t count = 1;
  if (gap > 1) count = std::min<int64_t>(gap, kMaxMinutesMadeUp);
  LocalDateTime t = minute.plusSeconds(-60 * (count - 1));
  last_ = now;

  std::vector<DueRun> runs;
  std::set<std::pair<RunKind, std::string>> seen;
  for (int64_t i = 0; i < count; ++i, t = t.plusSeconds(60)) {
    for (DueRun& run : dueRuns(t, settings)) {
      if (seen.insert({run.kind, run.TargetDay}).second) runs.push_back(std::move(run));
    }
  }
  return runs;
}

std::chrono::milliseconds MinuteScheduler::untilNextMinute(const LocalDateTime& now) {
  return std::chrono::seconds(60 - now.second) + kTickAfterMinute;
}

}  // namespace radmon
