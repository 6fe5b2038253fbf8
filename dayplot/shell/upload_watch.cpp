#include "upload_watch.h"

#include "settings_sources.h"

namespace radmon {

std::string clientReason(const ProcessOutcome& outcome) {
  std::string reason = outcome.exitStatus < 0
                           ? std::string("FTPクライアントが異常終了しました")
                           : "FTPクライアントの終了コード " + std::to_string(outcome.exitStatus);
  // The client's own words: ftpscript says "失敗: …" for the step that failed, before
  // its summary; any other client's last line is its best guess.
  std::string_view last;
  std::string_view rest = outcome.output;
  while (!rest.empty()) {
    const size_t end = rest.find_first_of("\r\n");
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (line.empty()) continue;
    last = line;
    if (line.starts_with("失敗")) break;
  }
  if (!last.empty()) reason += ": " + std::string(last);
  return reason;
}

std::string uploadOutcomeText(const UploadOutcome& o) {
  const std::string when = o.endedAt.logStamp();
  if (o.succeeded) return when + " FTP転送成功: " + o.file;
  return when + " FTP転送失敗: " + o.file + " (" + o.reason + ")";
}

void UploadWatch::request(Starter start, std::string file) {
  for (const Upload& upload : waiting_) {
    if (upload.file == file) return;
  }
  waiting_.push_back({std::move(start), std::move(file)});
  if (!running_) startNext();
}

void UploadWatch::startNext() {
  while (!running_ && !waiting_.empty()) {
    Upload next = std::move(waiting_.front());
    waiting_.pop_front();
    running_ = next.start();
    runningFile_ = std::move(next.file);
  }
}

std::vector<UploadOutcome> UploadWatch::collect(const LocalDateTime& now) {
  std::vector<UploadOutcome> ended;
  if (!running_) return ended;
  const auto outcome = running_->poll();
  if (!outcome) return ended;
  const bool ok = outcome->finished && outcome->exitStatus == 0;
  ended.push_back({now, runningFile_, ok, ok ? std::string() : clientReason(*outcome)});
  running_.reset();
  startNext();
  return ended;
}

void startDayGraphUpload(const DayplotSettings& controls, const std::string& dataFolder,
                         const std::string& targetDay, const std::string& today,
                         const std::string& programFolder, ProcessLauncher& launcher,
                         MessageSink& messages, UploadWatch& watch) {
  const std::string file = dayGraphJpegPath(SettingsUploadSource(controls), dataFolder,
                                            targetDay, today);
  // The settings as they are now, even if the upload has to wait for another.
  watch.request(
      [=, &launcher, &messages] {
        return UploadDayGraph(SettingsUploadSource(controls), dataFolder, targetDay, today,
                              programFolder, launcher, messages);
      },
      file);
}

std::string noticeImagePath(const DayplotSettings& controls, const std::string& programFolder) {
  return programFolder + controls.Text3 + ".jpg";
}

void startNoticeUpload(const DayplotSettings& controls, const std::string& programFolder,
                       ProcessLauncher& launcher, MessageSink& messages, UploadWatch& watch) {
  const std::string file = noticeImagePath(controls, programFolder);
  watch.request(
      [=, &launcher, &messages] {
        return uploadFile(SettingsUploadSource(controls), file, programFolder, launcher,
                          messages);
      },
      file);
}

}  // namespace radmon
