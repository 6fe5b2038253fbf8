#include "process_mode.h"

#include <exception>

#include "day_graph.h"
#include "dayplot_settings.h"
#include "ftp_upload.h"
#include "settings_sources.h"

namespace radmon {

namespace {

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

// Uploads the day's JPEG and waits for the client; whether it succeeded.
bool uploadAndWait(const DayplotStart& start, const std::string& targetDay,
                   const std::string& today, const std::string& programFolder,
                   MessageSink& messages, ProcessLauncher& launcher) {
  const SettingsUploadSource source(start.controls);
  auto client = UploadDayGraph(source, start.DataFolder, targetDay, today, programFolder,
                               launcher, messages);
  if (!client) return false;  // the reason has been shown
  const ProcessOutcome outcome = client->wait(kUploadWaitLimit);
  if (outcome.finished && outcome.exitStatus == 0) return true;
  std::string reason = !outcome.finished
                           ? "FTPクライアントが時間内に終わらなかったため中止しました。"
                           : "FTPクライアントの終了コード: " + std::to_string(outcome.exitStatus);
  std::string output = outcome.output;
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  messages.show("FTP転送に失敗しました (" +
                dayGraphJpegPath(source, start.DataFolder, targetDay, today) + ")。" + reason +
                (output.empty() ? std::string() : "\nFTPクライアントの出力:\n" + output));
  return false;
}

}  // namespace

int runProcessMode(std::string_view day, const std::string& programFolder,
                   MessageSink& messages, const Clock& clock, ProcessLauncher& launcher) {
  if (!LocalDateTime::fromYyyymmdd(day)) {
    messages.show(say::badDayArgument(day));
    return kProcessFailed;
  }
  try {
    const std::string today = clock.now().yyyymmdd();
    const DayplotStart start = startSettings(programFolder, today);
    const SettingsGraphSource source(start.controls);
    DayGraph graph(source, messages, clock);
    const std::string targetDay(day);
    const int drawn = exitFor(graph.DrawDayGraph(start.DataFolder, targetDay));
    if (!graph.faultPeriods().empty()) messages.show(say::faultPeriods(targetDay, graph.faultPeriods()));
    if (start.controls.Check5 == 1 &&
        !uploadAndWait(start, targetDay, today, programFolder, messages, launcher)) {
      return kProcessUploadFailed;
    }
    return drawn;
  } catch (const std::exception& e) {
    messages.show(say::processingFailed(e.what()));
  }
  return kProcessFailed;
}

}  // namespace radmon
