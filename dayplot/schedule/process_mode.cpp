#include "process_mode.h"

#include <atomic>
#include <cstdio>
#include <exception>
#include <thread>

#include "day_graph.h"
#include "dayplot_settings.h"
#include "ftp_upload.h"
#include "period_graph.h"
#include "settings_sources.h"
#include "upload_watch.h"

namespace radmon {

namespace {

std::atomic<bool> stopAsked{false};
static_assert(std::atomic<bool>::is_always_lock_free);

int exitFor(DayGraphResult result) {
  switch (result) {
    case DayGraphResult::Done: return kProcessDone;
    case DayGraphResult::NoDayFile: return kProcessNoDayFile;
    case DayGraphResult::BadScale:
    case DayGraphResult::WriteFailed:
    case DayGraphResult::Failed: return kProcessFailed;
  }
  return kProcessFailed;
}

// Uploads a JPEG and waits for the client; whether it succeeded.
bool uploadAndWait(const UploadSettings& source, const std::string& jpegPath,
                   const std::string& programFolder, MessageSink& messages,
                   ProcessLauncher& launcher) {
  auto client = uploadFile(source, jpegPath, programFolder, launcher, messages);
  if (!client) return false;  // the reason has been shown
  // Polled rather than waited for, so that a stop request ends the client at once.
  const auto deadline = std::chrono::steady_clock::now() + kUploadWaitLimit;
  std::optional<ProcessOutcome> ended;
  while (!(ended = client->poll()) && !stopAsked && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const ProcessOutcome outcome = ended ? *ended : client->wait(std::chrono::milliseconds(0));
  std::remove(ftpScriptPath(programFolder).c_str());
  if (ended && outcome.finished && outcome.exitStatus == 0) return true;
  const std::string reason = stopAsked && !ended ? say::uploadStopped()
                             : !ended            ? say::clientTimedOut()
                                                 : say::clientReason(outcome.exitStatus, {});
  std::string output = outcome.output;
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  messages.show(say::uploadOutcome(false, jpegPath, reason) +
                (output.empty() ? std::string() : "\n" + say::clientOutput(output)));
  return false;
}

// The drawing's exit status, or the upload's failure when FTP transfer is ticked.
int uploadIfTicked(const DayplotStart& start, int drawn, const std::string& jpegPath,
                   const std::string& programFolder, MessageSink& messages,
                   ProcessLauncher& launcher) {
  if (start.controls.Check5 != 1) return drawn;
  const SettingsUploadSource upload(start.controls);
  return uploadAndWait(upload, jpegPath, programFolder, messages, launcher) ? drawn
                                                                            : kProcessUploadFailed;
}

}  // namespace

void requestProcessStop() { stopAsked = true; }

int runProcessMode(std::string_view day, const std::string& programFolder,
                   MessageSink& messages, const Clock& clock, ProcessLauncher& launcher) {
  if (!LocalDateTime::fromYyyymmdd(day)) {
    messages.show(say::badDayArgument(day));
    return kProcessFailed;
  }
  try {
    const std::string today = clock.now().yyyymmdd();
    const DayplotStart start = startSettings(programFolder, today);
    for (const std::string& line : start.readingsIssues)
      messages.show(say::readingsSettingsIssue(programFolder + kReadingsSettingsFileName, line));
    const SettingsGraphSource source(start.controls, start.readings.meanInterval);
    DayGraph graph(source, messages, clock);
    const std::string targetDay(day);
    const int drawn = exitFor(graph.drawDayGraph(start.DataFolder, targetDay));
    if (!graph.faultPeriods().empty()) messages.show(say::faultPeriods(targetDay, graph.faultPeriods()));
    const SettingsUploadSource upload(start.controls);
    return uploadIfTicked(start, drawn, dayGraphJpegPath(upload, start.DataFolder, targetDay, today),
                          programFolder, messages, launcher);
  } catch (const std::exception& e) {
    messages.show(say::processingFailed(e.what()));
  }
  return kProcessFailed;
}

int runPeriodMode(PeriodKind kind, std::string_view text, const std::string& programFolder,
                  MessageSink& messages, const Clock& clock, ProcessLauncher& launcher) {
  const auto period = kind == PeriodKind::Month ? parseMonth(text) : parseYear(text);
  if (!period) {
    messages.show(kind == PeriodKind::Month ? say::badMonthArgument(text) : say::badYearArgument(text));
    return kProcessFailed;
  }
  try {
    const DayplotStart start = startSettings(programFolder, clock.now().yyyymmdd());
    const SettingsGraphSource source(start.controls);
    PeriodGraph graph(source, messages, clock);
    const int drawn = exitFor(graph.drawPeriodGraph(start.DataFolder, *period));
    return uploadIfTicked(start, drawn, periodGraphJpegPath(start.controls, start.DataFolder, *period),
                          programFolder, messages, launcher);
  } catch (const std::exception& e) {
    messages.show(say::processingFailed(e.what()));
  }
  return kProcessFailed;
}

}  // namespace radmon
