#include "headless_dayplot.h"

#include "period_graph.h"

#include <filesystem>

#include "ftp_upload.h"
#include "publish_settings.h"
#include "settings_sources.h"

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
      graphSource_(start_.controls, start_.readings.meanInterval),
      graph_(graphSource_, messages_, clock),
      scheduler_(clock.now()),
      queue_(UploadQueue::pathIn(programFolder_)) {
  uploads_.keepQueue(
      queue_,
      [this](const std::string& file) -> UploadWatch::Starter {
        return [this, file] {
          return uploadFile(SettingsUploadSource(start_.controls), file, programFolder_,
                            launcher_, messages_);
        };
      },
      [this] { return readPublishSettings(publishSettingsPath(programFolder_)).value.retryMinutes; });
  const DayplotSettings& c = start_.controls;
  for (const std::string& line : start_.readingsIssues)
    messages_.show(say::readingsSettingsIssue(programFolder_ + kReadingsSettingsFileName, line));
  // A start time that can never match is said instead of announced.
  const auto problem = startTimeProblem(c);
  if (problem) messages_.show(*problem);
  const bool yesterday = c.Check4 == 1 && !problem;
  if (c.Check3 != 1 && !yesterday) {
    if (!problem) messages_.show(say::nothingScheduled(settingsFilePath(programFolder_)));
  } else {
    messages_.show(say::started(c.Check3 == 1 ? start_.RealtimeInterval : 0, yesterday,
                                c.Text11, c.Text10, c.Check5 == 1, start_.DataFolder));
  }
}

void HeadlessDayplot::tick() {
  const LocalDateTime now = clock_.now();
  for (const DueRun& due : scheduler_.tick(now, scheduleOf(start_.controls,
                                                           start_.RealtimeInterval))) {
    run(due);
  }
  if (firstTick_) makeUpYesterday(now);
  firstTick_ = false;
  uploads_.retryDue(now);
}

void HeadlessDayplot::makeUpYesterday(const LocalDateTime& now) {
  if (const auto missed = missedYesterday(start_.controls, start_.DataFolder, now, queue_)) {
    messages_.show(say::yesterdayNotSent(missed->TargetDay));
    run(*missed);
  }
}

void HeadlessDayplot::run(const DueRun& due) {
  if (due.kind == RunKind::Month) {
    const auto month = parseMonth(due.TargetDay);
    if (!month) return;
    messages_.show(say::processingPeriod(due.TargetDay));
    PeriodGraph(graphSource_, messages_, clock_).drawPeriodGraph(start_.DataFolder, *month);
    if (start_.controls.Check5 == 1) {
      const std::string file = periodGraphJpegPath(start_.controls, start_.DataFolder, *month);
      startFileUpload(start_.controls, file, programFolder_, launcher_, messages_, uploads_);
    }
    return;
  }
  messages_.show(say::processingDay(due.kind == RunKind::Today, due.TargetDay));
  graph_.drawDayGraph(start_.DataFolder, due.TargetDay);
  if (!graph_.faultPeriods().empty())
    messages_.show(say::faultPeriods(due.TargetDay, graph_.faultPeriods()));
  // A missing day file still sends the JPEG of an earlier run, as the window does.
  if (start_.controls.Check5 == 1) {
    const std::string file = dayGraphJpegPath(SettingsUploadSource(start_.controls),
                                              start_.DataFolder, due.TargetDay,
                                              clock_.now().yyyymmdd());
    startFileUpload(start_.controls, file, programFolder_, launcher_, messages_, uploads_);
  }
}

void HeadlessDayplot::pollUploads() {
  for (const UploadOutcome& outcome : uploads_.collect(clock_.now())) {
    messages_.show(uploadOutcomeSentence(outcome));
  }
  if (queue_.saveError()) messages_.show(say::queueNotWritten(*queue_.saveError()));
}

std::chrono::milliseconds HeadlessDayplot::untilNextTick() const {
  return MinuteScheduler::untilNextMinute(clock_.now());
}

void HeadlessDayplot::finish() {
  // The client still running is ended: it would go on with the script removed under it.
  uploads_.stop(clock_.now());
  std::error_code ec;
  std::filesystem::remove(ftpScriptPath(programFolder_), ec);
  if (ec) messages_.show(say::scriptNotRemoved(ec.message()));
  messages_.show(say::finished());
}

}  // namespace radmon
