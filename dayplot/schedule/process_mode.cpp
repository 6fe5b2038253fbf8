#include "process_mode.h"

#include <exception>
#include <thread>

#include "publishing_session.h"
#include "stop_signals.h"

namespace radmon {

namespace {

int exitFor(DayGraphResult result) {
  switch (result) {
    case DayGraphResult::Done:
      return kProcessDone;
    case DayGraphResult::NoDayFile:
      return kProcessNoDayFile;
    case DayGraphResult::BadScale:
    case DayGraphResult::WriteFailed:
    case DayGraphResult::Failed:
      return kProcessFailed;
  }
  return kProcessFailed;
}

// The run's words on the stream: faults and notes alike, the upload's failure with its
// exit status and then all the client wrote.
class ProcessReport final : public SessionReport {
 public:
  ProcessReport(MessageSink& out, std::ostream& figures) : out_(out), figures_(figures) {}
  void show(const std::string& message) override { out_.show(message); }
  void statistics(const DailyStats& stats) override {
    figures_ << statisticsLine(stats) << std::endl;
  }
  void note(const std::string& message) override { out_.show(message); }
  void uploadEnded(const UploadOutcome& o) override {
    // Each upload of the run counts: a graph that failed is not hidden by the station's
    // page sent after it.
    ended_ = true;
    failed_ = failed_ || !o.succeeded;
    if (o.succeeded) {
      if (!o.reason.empty()) out_.show(say::uploadOutcome(true, o.file, o.reason));
      return;
    }
    std::string output = o.output;
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    // ftpscript's cause from its exit status; the output follows in full.
    const std::string cause =
        kThisPlatform == ClientPlatform::Posix ? say::ftpscriptCause(o.exitStatus) : "";
    std::string text = say::uploadOutcome(false, o.file, say::clientReason(o.exitStatus, cause));
    if (!output.empty()) text.append(1, '\n').append(say::clientOutput(output));
    if (o.retryAt) text.append(1, '\n').append(say::keptInQueue(o.retryAt->hhmm()));
    out_.show(text);
  }
  bool sent() const { return ended_ && !failed_; }

 private:
  MessageSink& out_;
  std::ostream& figures_;
  bool ended_ = false;
  bool failed_ = false;
};

// Runs one drawing through a session and, with upload ticked, waits for the client; the
// drawing's exit status, or the upload's failure. Never throws.
template <class Draw>
int runAndWait(const std::string& programFolder, MessageSink& messages, const Clock& clock,
               ProcessLauncher& launcher, std::ostream& figures, const Draw& draw) try {
  ProcessReport report(messages, figures);
  const DayplotStart start = readStartSettings(programFolder, clock, report);
  // The queue file remembers what reached the server, so that a graph the page shows goes
  // once and not at every run, and keeps what failed for the next run that reaches it.
  PublishingSession session({programFolder, &clock, &launcher, &report, [&] { return start; },
                             /*keepQueue=*/true});
  const int drawn = exitFor(draw(session));
  if (start.controls.upload != 1) return drawn;
  // Polled rather than waited for, so that a stop request ends the client at once.
  const auto deadline = std::chrono::steady_clock::now() + kUploadWaitLimit;
  while (session.uploadsRunning() && !*StopSignals::requested() &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    session.pollUploads();
  }
  for (const std::string& file : session.stopUploads()) {
    messages.show(say::uploadOutcome(
        false, file, *StopSignals::requested() ? say::uploadStopped() : say::clientTimedOut()));
  }
  session.removeScript();
  return report.sent() ? drawn : kProcessUploadFailed;
} catch (const std::exception& e) {
  messages.show(say::processingFailed(e.what()));
  return kProcessFailed;
}

}  // namespace

int runProcessMode(std::string_view day, const std::string& programFolder, MessageSink& messages,
                   const Clock& clock, ProcessLauncher& launcher, std::ostream& figures) {
  if (!LocalDateTime::fromYyyymmdd(day)) {
    messages.show(say::badDayArgument(day));
    return kProcessFailed;
  }
  return runAndWait(
      programFolder, messages, clock, launcher, figures,
      [&](PublishingSession& session) { return session.runDay(std::string(day), true); });
}

int runPeriodMode(PeriodKind kind, std::string_view text, const std::string& programFolder,
                  MessageSink& messages, const Clock& clock, ProcessLauncher& launcher) {
  const auto period = periodOf(kind, text, messages);
  if (!period) return kProcessFailed;
  return runAndWait(programFolder, messages, clock, launcher, std::cout,
                    [&](PublishingSession& session) { return session.runPeriod(*period, true); });
}

}  // namespace radmon
