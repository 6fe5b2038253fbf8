// The once-a-minute decision of dayplot: from a clock minute and the schedule settings
// (today every N minutes, yesterday at HH:MM, read from DayplotStart at each tick),
// which processing runs are due and in which order. No clock, no window, no state of
// its own beyond the last minute examined, so every rule is tested without waiting.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dayplot_settings.h"
#include "local_time.h"

namespace radmon {

// Month: the month of yesterday drawn after yesterday's run, once a day.
enum class RunKind { Today, Yesterday, Month };

struct DueRun {
  RunKind kind = RunKind::Today;
  std::string TargetDay;  // yyyymmdd; yyyymm for a month

  friend bool operator==(const DueRun&, const DueRun&) = default;
};

// The runs due in the clock minute of `t` (its seconds do not count): today's run on
// every minute that is a multiple of the period except 00:00, then yesterday's run when
// the hour and minute texts equal the start time exactly ("3" never matches
// "03"). Both decisions use the same minute, so a start time on a real-time minute
// always gets both runs, today's first.
std::vector<DueRun> dueRuns(const LocalDateTime& t, const DayplotStart& settings);

// Whether the start time can ever match the clock: two digits each, an hour of
// 00 to 23 and a minute of 00 to 59. "3" never matches "03", so the run would never come.
bool startTimeUsable(const DayplotSettings& settings);

// The clock minute as a running number (minutes since 1970-01-01 00:00 local), for
// ordering and counting minutes across days.
int64_t minuteNumber(const LocalDateTime& t);

// Walks the clock minute by minute so that none is missed: each tick examines every
// minute since the one examined last, up to the current one. A tick that comes late
// (a long run, a suspended machine) makes up the minutes it missed, each due run once:
// repeated runs of the same kind for the same day are one run, since they would draw
// and send the same file again.
class MinuteScheduler {
 public:
  // Minutes made up at most; a longer gap (the clock set forward by days) examines
  // only the last day of it.
  static constexpr int kMaxMinutesMadeUp = 24 * 60;

  // The minute of `start` counts as examined: nothing runs at start.
  explicit MinuteScheduler(const LocalDateTime& start);

  // The runs due in the minutes after the last examined one up to `now`'s minute, in
  // the order of the minutes, today's before yesterday's within one minute. A clock set
  // back examines `now`'s minute alone; a second tick in the same minute runs nothing.
  std::vector<DueRun> tick(const LocalDateTime& now, const DayplotStart& settings);

  // How long to wait from `now` for the next tick: just after the next minute begins.
  static std::chrono::milliseconds untilNextMinute(const LocalDateTime& now);

 private:
  LocalDateTime last_;
};

// The tick falls this long after the minute begins, so a timer that fires a little
// early still lands in the new minute.
inline constexpr std::chrono::milliseconds kTickAfterMinute{500};

}  // namespace radmon
