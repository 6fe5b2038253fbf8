#include "headless_dayplot.h"

namespace radmon {

void HeadlessDayplot::show(const std::string& message) {
  err_ << clock_.now().logLine(message) << std::endl;
}

HeadlessDayplot::HeadlessDayplot(std::string programFolder, const Clock& clock,
                                 ProcessLauncher& launcher, std::ostream& err)
    : err_(err),
      clock_(clock),
      start_(readStartSettings(programFolder, clock, *this)),
      session_({programFolder, &clock, &launcher, this, [this] { return start_; }}) {
  const DayplotSettings& c = start_.controls;
  // A start time that can never match is said instead of announced.
  session_.checkStartTime();
  const bool timeUsable = startTimeCheck(c).has_value(),
             yesterday = c.yesterdayAt == 1 && timeUsable;
  if (c.todayEvery != 1 && !yesterday) {
    if (timeUsable) show(say::nothingScheduled(settingsFilePath(programFolder)));
  } else {
    show(say::started(c.todayEvery == 1 ? start_.RealtimeInterval : 0, yesterday, c.atHour,
                      c.atMinute, c.upload == 1, start_.DataFolder));
  }
}

void HeadlessDayplot::finish() {
  // The client still running is ended: it would go on with the script removed under it.
  session_.stopUploads();
  session_.removeScript();
  show(say::finished());
}

}  // namespace radmon
