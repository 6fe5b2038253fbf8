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

void startDayGraphUpload(const DayplotSettings& controls, const std::string& DataFolder,
                         const std::string& TargetDay, const std::string& today,
                         const std::string& programFolder, ProcessLauncher& launcher,
                         MessageSink& messages, UploadWatch& watch) {
  const std::string file = dayGraphJpegPath(SettingsUploadSource(controls), DataFolder,
                                            TargetDay, today);
  // The settings as they are now, even if the upload has to wait for another.
  watch.request(
      [=, &launcher, &messages] {
        return UploadDayGraph(SettingsUploadSource(controls), DataFolder, TargetDay, today,
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
        return UploadFile(SettingsUploadSource(controls), file, programFolder, launcher,
                          messages);
      },
      file);
}

}  // namespace radmon
