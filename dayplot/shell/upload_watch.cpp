#include "upload_watch.h"

#include "settings_upload_source.h"

namespace radmon {

std::string clientReason(const ProcessOutcome& outcome) {
  std::string reason = outcome.exitStatus < 0
                           ? std::string("FTPクライアントが異常終了しました")
                           : "FTPクライアントの終了コード " + std::to_string(outcome.exitStatus);
  // The last line the client wrote says what went wrong in its own words.
  std::string_view output = outcome.output;
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) {
    output.remove_suffix(1);
  }
  const size_t start = output.find_last_of("\r\n");
  const std::string_view last = start == std::string_view::npos ? output : output.substr(start + 1);
  if (!last.empty()) reason += ": " + std::string(last);
  return reason;
}

std::string uploadOutcomeText(const UploadOutcome& o) {
  const std::string when = o.endedAt.slashDate() + " " + o.endedAt.hhmmss();
  if (o.succeeded) return when + " FTP転送成功: " + o.file;
  return when + " FTP転送失敗: " + o.file + " (" + o.reason + ")";
}

void UploadWatch::add(std::unique_ptr<StartedProcess> client, std::string file) {
  if (client) clients_.push_back({std::move(client), std::move(file)});
}

std::vector<UploadOutcome> UploadWatch::collect(const LocalDateTime& now) {
  std::vector<UploadOutcome> ended;
  std::vector<Client> running;
  for (Client& client : clients_) {
    const auto outcome = client.process->poll();
    if (!outcome) {
      running.push_back(std::move(client));
      continue;
    }
    const bool ok = outcome->finished && outcome->exitStatus == 0;
    ended.push_back({now, client.file, ok, ok ? std::string() : clientReason(*outcome)});
  }
  clients_ = std::move(running);
  return ended;
}

void startDayGraphUpload(const DayplotSettings& controls, const std::string& DataFolder,
                         const std::string& TargetDay, const std::string& today,
                         const std::string& programFolder, ProcessLauncher& launcher,
                         MessageSink& messages, UploadWatch& watch) {
  const SettingsUploadSource source(controls);
  watch.add(UploadDayGraph(source, DataFolder, TargetDay, today, programFolder, launcher,
                           messages),
            dayGraphJpegPath(source, DataFolder, TargetDay, today));
}

std::string noticeImagePath(const DayplotSettings& controls, const std::string& programFolder) {
  return programFolder + controls.Text3 + ".jpg";
}

void startNoticeUpload(const DayplotSettings& controls, const std::string& programFolder,
                       ProcessLauncher& launcher, MessageSink& messages, UploadWatch& watch) {
  const SettingsUploadSource source(controls);
  const std::string file = noticeImagePath(controls, programFolder);
  watch.add(UploadFile(source, file, programFolder, launcher, messages), file);
}

}  // namespace radmon
