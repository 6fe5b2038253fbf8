#include "headless_dayplot.h"

#include <filesystem>

#include "ftp_upload.h"

namespace radmon {

void TimedMessages::show(const std::string& message) {
  out_ << clock_.now().logStamp() << ' ' << message << std::endl;
}

HeadlessDayplot::HeadlessDayplot(std::string programFolder, const Clock& clock,
                                 ProcessLauncher& launcher, std::ostream& err)
    : programFolder_(std::move(programFolder)),
      clock_(clock),
      launcher_(launcher),
      messages_(err, clock),
      start_(startSettings(programFolder_, clock.now().yyyymmdd())),
      graphSource_(start_.controls),
      graph_(graphSource_, messages_, clock),
      scheduler_(clock.now()) {
  const DayplotSettings& c = start_.controls;
  if (c.Check3 != 1 && c.Check4 != 1) {
    messages_.show(say::nothingScheduled(settingsFilePath(programFolder_)));
  } else {
    messages_.show(say::started(c.Check3 == 1 ? start_.RealtimeInterval : 0, c.Check4 == 1,
                                c.Text11, c.Text10, c.Check5 == 1, start_.DataFolder));
  }
}

void HeadlessDayplot::tick() {
  const LocalDateTime now = clock_.now();
  for (const DueRun& due : scheduler_.tick(now, scheduleOf(start_.controls,
                                                           start_.RealtimeInterval))) {
    run(due);
  }
}

void HeadlessDayplot::run(const DueRun& due) {
  messages_.show(say::processingDay(due.kind == RunKind::Today, due.TargetDay));
  graph_.DrawDayGraph(start_.DataFolder, due.TargetDay);
  if (!graph_.faultPeriods().empty())
    messages_.show(say::faultPeriods(due.TargetDay, graph_.faultPeriods()));
  // A missing day file still sends the JPEG of an earlier run, as the window does.
  if (start_.controls.Check5 == 1) {
    startDayGraphUpload(start_.controls, start_.DataFolder, due.TargetDay,
                        clock_.now().yyyymmdd(), programFolder_, launcher_, messages_,
                        uploads_);
  }
}

void HeadlessDayplot::pollUploads() {
  for (const UploadOutcome& outcome : uploads_.collect(clock_.now())) {
    messages_.show(outcome.succeeded ? "FTP転送成功: " + outcome.file
                                     : "FTP転送失敗: " + outcome.file + " (" + outcome.reason + ")");
  }
}

std::chrono::milliseconds HeadlessDayplot::untilNextTick() const {
  return MinuteScheduler::untilNextMinute(clock_.now());
}

void HeadlessDayplot::finish() {
  std::error_code ec;
  std::filesystem::remove(ftpScriptPath(programFolder_), ec);
  if (ec) messages_.show(say::scriptNotRemoved(ec.message()));
  messages_.show(say::finished());
}

}  // namespace radmon
