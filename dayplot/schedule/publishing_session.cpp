#include "publishing_session.h"

#include <filesystem>

#include "ftp_upload.h"
#include "graph_names.h"
#include "publish_settings.h"
#include "screen_graph.h"
#include "station_files.h"
#include "text_files.h"

namespace radmon {

DayplotStart readStartSettings(const std::string& programFolder, const Clock& clock,
                               MessageSink& report) {
  const DayplotStartRead read = startSettings(programFolder, clock.now().yyyymmdd());
  if (read.has(DayplotIniFault::Unreadable))
    report.show(say::settingsFileUnreadable(settingsFilePath(programFolder)));
  for (const auto& issue : read.value.readingsIssues)
    report.show(say::settingsIssue(programFolder + kReadingsSettingsFileName, issue));
  return read.value;
}

std::optional<Period> periodOf(PeriodKind kind, std::string_view text, MessageSink& report) {
  const auto period = kind == PeriodKind::Month ? parseMonth(text) : parseYear(text);
  if (!period)
    report.show(kind == PeriodKind::Month ? say::badMonthArgument(text)
                                          : say::badYearArgument(text));
  return period;
}

PublishingSession::PublishingSession(SessionParts parts)
    : parts_(std::move(parts)),
      clock_(*parts_.clock),
      report_(*parts_.report),
      dayGraph_(graphSource_, report_, clock_),
      periodGraph_(graphSource_, report_, clock_),
      scheduler_(clock_.now()),
      queue_(UploadQueue::pathIn(parts_.programFolder)) {
  if (!parts_.keepQueue) return;
  uploads_.keepQueue(
      queue_,
      [this](const std::string& file) {
        refresh();
        return starter(file, now_.controls);
      },
      [this] {
        return readPublishSettings(publishSettingsPath(parts_.programFolder)).value.retryMinutes;
      });
}

std::expected<void, std::string> startTimeCheck(const DayplotSettings& c) {
  if (c.yesterdayAt != 1 || startTimeUsable(c)) return {};
  return std::unexpected(say::startTimeNeverMatches(c.atHour, c.atMinute));
}

void PublishingSession::refresh() {
  now_ = parts_.settings();
  graphSource_.setMeanInterval(now_.readings.meanInterval);
}

void PublishingSession::checkStartTime() {
  refresh();
  const auto checked = startTimeCheck(now_.controls);
  if (!checked && checked.error() != startTimeSaid_) report_.show(checked.error());
  startTimeSaid_ = checked ? "" : checked.error();
}

void PublishingSession::tick() {
  const LocalDateTime now = clock_.now();
  checkStartTime();
  for (const DueRun& due : scheduler_.tick(now, now_)) run(due);
  if (firstTick_) {
    if (const auto missed = missedYesterday(now)) {
      report_.note(say::yesterdayNotSent(missed->TargetDay));
      run(*missed);
    }
  }
  firstTick_ = false;
  if (pageDue_) publishPage();
  pageDue_ = false;
  uploads_.retryDue(now);
  watchQueueFault();
}

std::optional<DueRun> PublishingSession::missedYesterday(const LocalDateTime& now) const {
  const DayplotSettings& c = now_.controls;
  if (c.yesterdayAt != 1 || c.upload != 1 || !startTimeCheck(c)) return std::nullopt;
  if (now.hhmm() < c.atHour + ":" + c.atMinute) return std::nullopt;  // still to come
  const std::string yesterday = now.previousDay().yyyymmdd();
  const std::string file =
      dayGraphJpegPath(SettingsUploadSource(c), now_.DataFolder, yesterday, now.yyyymmdd());
  // Drawn and sent once: not again when this tick's schedule or the queue has it.
  if (queue_.published(file) || queue_.queued(file) || uploads_.holds(file)) return std::nullopt;
  return DueRun{RunKind::Yesterday, yesterday};
}

void PublishingSession::run(const DueRun& due) {
  if (due.kind == RunKind::Month) {
    if (const auto month = parseMonth(due.TargetDay)) {
      report_.note(say::processingPeriod(due.TargetDay));
      runPeriod(*month, false);
    }
    return;
  }
  report_.note(say::processingDay(due.kind == RunKind::Today, due.TargetDay));
  runDay(due.TargetDay, false);
}

DayGraphResult PublishingSession::runDay(const std::string& day, bool byHand) {
  refresh();
  TargetDay_ = day;
  const DayGraphResult result = dayGraph_.drawDayGraph(now_.DataFolder, day);
  if (!dayGraph_.faultPeriods().empty())
    report_.note(say::faultPeriods(day, dayGraph_.faultPeriods()));
  if (const auto& stats = dayGraph_.statistics()) report_.statistics(*stats);
  report_.drawn(dayGraph_.picture(), byHand);
  if (now_.controls.upload == 1) {
    upload(dayGraphJpegPath(SettingsUploadSource(now_.controls), now_.DataFolder, day,
                            clock_.now().yyyymmdd()));
    // A tick's page goes after all of the tick's graphs (see tick).
    if (readPublishSettings(publishSettingsPath(parts_.programFolder)).value.publishPage) {
      // The page shows the day drawn for the screen; it goes with the JPEG, drawn again.
      const LocalDateTime now = clock_.now();
      const ScreenGraphWritten screen =
          writeDaySvg(now_.DataFolder, now_.controls.graphName, day,
                      day == now.yyyymmdd() ? now.secondOfDay() : 86400);
      if (screen.path) upload(*screen.path);
      if (byHand)
        publishPage();
      else
        pageDue_ = true;
    }
  }
  return result;
}

DayGraphResult PublishingSession::runPeriod(const Period& period, bool byHand) {
  refresh();
  const DayGraphResult result = periodGraph_.drawPeriodGraph(now_.DataFolder, period);
  report_.drawn(periodGraph_.picture(), byHand);
  if (now_.controls.upload == 1) {
    upload(now_.DataFolder + periodImageBaseName(now_.controls.graphName, period) + ".jpg");
    // The page shows the period drawn for the screen; it goes with the JPEG.
    if (result == DayGraphResult::Done &&
        readPublishSettings(publishSettingsPath(parts_.programFolder)).value.publishPage)
      if (const ScreenGraphWritten screen =
              writePeriodSvg(now_.DataFolder, now_.controls.graphName, period);
          screen.path)
        upload(*screen.path);
  }
  return result;
}

void PublishingSession::publishPage() {
  const PageSources sources{now_.DataFolder, now_.controls.graphName, now_.controls.place,
                            clock_.now()};
  const StationFilesWritten written = writeStationFiles(sources);
  if (!written.files) {
    report_.show(say::pageNotWritten(written.failedPath, written.reason));
    return;
  }
  // The images the page shows go first, then the page. A graph is sent when it is drawn:
  // one on its way or sent since is not sent again; one waiting for its retry goes now,
  // since the page shows it.
  for (const std::string& image : written.files->images)
    if (!uploads_.holds(image) && (queue_.queued(image) || !queue_.published(image))) upload(image);
  upload(written.files->readings);
  // The page's turn comes after its images': one that did not get there is named on it,
  // not shown as a broken image.
  const std::vector<std::string> images = written.files->images;
  const std::string page = written.files->page;
  uploads_.request(
      [this, again = sources, images, page, settings = now_.controls]() mutable {
        for (const std::string& image : images)
          if (uploads_.failed(image)) again.unsent.push_back(image);
        if (!again.unsent.empty()) {
          const StationFilesWritten rewritten = writeStationFiles(again);
          if (!rewritten.files)
            report_.show(say::pageNotWritten(rewritten.failedPath, rewritten.reason));
        }
        return starter(page, settings)();
      },
      page);
}

void PublishingSession::sendNotice() {
  refresh();
  // Named like today's graph so that it takes the graph's place; a missing image is the
  // client's to report.
  upload(parts_.programFolder + now_.controls.graphName + ".jpg");
}

void PublishingSession::upload(const std::string& file) {
  uploads_.request(starter(file, now_.controls), file);
}

UploadWatch::Starter PublishingSession::starter(const std::string& file, const DayplotSettings& c) {
  return [this, file, c] {
    return uploadFile(SettingsUploadSource(c), file, parts_.programFolder, *parts_.launcher,
                      report_, parts_.asksOperator);
  };
}

void PublishingSession::pollUploads() {
  for (const UploadOutcome& outcome : uploads_.collect(clock_.now())) {
    report_.uploadEnded(outcome);
    if (!outcome.succeeded) askAboutCertificate(outcome);
  }
  watchQueueFault();
}

void PublishingSession::watchQueueFault() {
  // The queue is written at every change: a fault lasts until a write succeeds again,
  // and is told when it begins and when it ends, not at every try in between.
  const bool fault = !queue_.saved();
  if (fault == queueFaultSaid_) return;
  report_.show(fault ? say::queueNotWritten(queue_.saved().error()) : say::queueWrittenAgain());
  queueFaultSaid_ = fault;
}

void PublishingSession::askAboutCertificate(const UploadOutcome& outcome) {
  // A certificate's fingerprint (hex) or an SSH host key's ("SHA256:…").
  const bool hostKey = outcome.fingerprint.starts_with("SHA256:");
  const auto print = hostKey ? normalHostKeyFingerprint(outcome.fingerprint)
                             : normalFingerprint(outcome.fingerprint);
  if (!print || !certificatesAsked_.insert(*print).second) return;  // each asked once
  const CertificateAnswer answer =
      report_.trustCertificate(outcome.reason, hostKey ? *print : shownFingerprint(*print));
  if (answer == CertificateAnswer::Refuse) return;
  const std::string settingsPath = publishSettingsPath(parts_.programFolder);
  std::expected<void, std::string> saved;
  if (answer == CertificateAnswer::TrustAlways) {
    PublishSettings settings = readPublishSettings(settingsPath).value;
    (hostKey ? settings.trustedHostKeys : settings.trustedFingerprints).insert(*print);
    saved = writePublishSettings(settingsPath, settings);
  } else {
    const std::string oncePath = trustOncePath(settingsPath);
    saved = faultText(oncePath, writeTextFile(oncePath, *print, /*ownerOnly=*/true));
  }
  if (!saved)
    report_.show(hostKey ? say::hostKeyTrustNotSaved(saved.error())
                         : say::trustNotSaved(saved.error()));
  else
    uploads_.retry(outcome.file);
}

void PublishingSession::removeScript() {
  std::error_code ec;
  std::filesystem::remove(ftpScriptPath(parts_.programFolder), ec);
  if (ec) report_.show(say::scriptNotRemoved(ec.message()));
}

}  // namespace radmon
