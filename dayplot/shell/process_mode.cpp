#include "process_mode.h"

#include <atomic>
#include <cstdio>
#include <exception>
#include <thread>

#include "day_graph.h"
#include "dayplot_settings.h"
#include "ftp_upload.h"
#include "settings_graph_source.h"
#include "settings_upload_source.h"

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

// Uploads the day's JPEG and waits for the client; whether it succeeded.
bool uploadAndWait(const DayplotStart& start, const std::string& TargetDay,
                   const std::string& today, const std::string& programFolder,
                   MessageSink& messages, ProcessLauncher& launcher) {
  const SettingsUploadSource source(start.controls);
  auto client = UploadDayGraph(source, start.DataFolder, TargetDay, today, programFolder,
                               launcher, messages);
  if (!client) return false;  // the reason has been shown
  // Polled rather than waited for, so that a stop request ends the client at once.
  const auto deadline = std::chrono::steady_clock::now() + kUploadWaitLimit;
  std::optional<ProcessOutcome> ended;
  while (!(ended = client->poll()) && !stopAsked && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const ProcessOutcome outcome = ended ? *ended : client->wait(std::chrono::milliseconds(0));
  std::remove(ftpScriptPath(programFolder).c_str());
  if (stopAsked && !ended) {
    messages.show("終了の指示により、FTP転送を中止しました (" +
                  dayGraphJpegPath(source, start.DataFolder, TargetDay, today) + ")。");
    return false;
  }
  if (outcome.finished && outcome.exitStatus == 0) return true;
  std::string reason = !outcome.finished
                           ? "FTPクライアントが時間内に終わらなかったため中止しました。"
                           : "FTPクライアントの終了コード: " + std::to_string(outcome.exitStatus);
  std::string output = outcome.output;
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  messages.show("FTP転送に失敗しました (" +
                dayGraphJpegPath(source, start.DataFolder, TargetDay, today) + ")。" + reason +
                (output.empty() ? std::string() : "\nFTPクライアントの出力:\n" + output));
  return false;
}

}  // namespace

void requestProcessStop() { stopAsked = true; }

int runProcessMode(std::string_view targetDay, const std::string& programFolder,
                   MessageSink& messages, const Clock& clock, ProcessLauncher& launcher) {
  if (!LocalDateTime::fromYyyymmdd(targetDay)) {
    messages.show("日付はyyyymmddの8桁で指定してください: " + std::string(targetDay));
    return kProcessFailed;
  }
  try {
    const std::string today = clock.now().yyyymmdd();
    const DayplotStart start = startSettings(programFolder, today);
    const SettingsGraphSource source(start.controls);
    DayGraph graph(source, messages, clock);
    const std::string TargetDay(targetDay);
    const int drawn = exitFor(graph.DrawDayGraph(start.DataFolder, TargetDay));
    if (start.controls.Check5 == 1 &&
        !uploadAndWait(start, TargetDay, today, programFolder, messages, launcher)) {
      return kProcessUploadFailed;
    }
    return drawn;
  } catch (const std::exception& e) {
    messages.show(std::string("処理中にエラーが発生しました: ") + e.what());
  }
  return kProcessFailed;
}

}  // namespace radmon
