#include "headless_dayplot.h"

#include <filesystem>

#include "ftp_upload.h"
#include "publish_settings.h"
#include "settings_upload_source.h"

namespace radmon {

void TimedMessages::show(const std::string& message) {
  const LocalDateTime now = clock_.now();
  out_ << now.slashDate() << ' ' << now.hhmmss() << ' ' << message << std::endl;
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
      scheduler_(clock.now()),
      queue_(UploadQueue::pathIn(programFolder_)) {
  uploads_.keepQueue(
      queue_,
      [this](const std::string& file) -> UploadWatch::Starter {
        return [this, file] {
          return UploadFile(SettingsUploadSource(start_.controls), file, programFolder_,
                            launcher_, messages_);
        };
      },
      [this] { return readPublishSettings(publishSettingsPath(programFolder_)).retryMinutes; });
  const DayplotSettings& c = start_.controls;
  std::string plan;
  if (c.Check3 == 1) plan += "当日分を" + std::to_string(start_.RealtimeInterval) + "分毎に処理";
  if (const auto problem = startTimeProblem(c)) {
    messages_.show(*problem);
  } else if (c.Check4 == 1) {
    if (!plan.empty()) plan += "、";
    plan += "昨日分を" + c.Text11 + "時" + c.Text10 + "分に処理";
  }
  if (plan.empty()) {
    messages_.show("当日データリアルタイム処理も昨日分自動処理も選ばれていないため、何も処理しません"
                   " (" + settingsFilePath(programFolder_) + ")");
  } else {
    messages_.show("開始しました: " + plan + (c.Check5 == 1 ? "、FTP転送あり" : "") +
                   "。データフォルダ: " + start_.DataFolder);
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
    messages_.show("昨日分 " + missed->TargetDay + " のグラフはまだ転送されていません");
    run(*missed);
  }
}

void HeadlessDayplot::run(const DueRun& due) {
  messages_.show((due.kind == RunKind::Today ? "当日分 " : "昨日分 ") + due.TargetDay +
                 " を処理します");
  graph_.DrawDayGraph(start_.DataFolder, due.TargetDay);
  // A missing day file still sends the JPEG of an earlier run, as the window does.
  if (start_.controls.Check5 == 1) {
    startDayGraphUpload(start_.controls, start_.DataFolder, due.TargetDay,
                        clock_.now().yyyymmdd(), programFolder_, launcher_, messages_,
                        uploads_);
  }
}

void HeadlessDayplot::pollUploads() {
  for (const UploadOutcome& outcome : uploads_.collect(clock_.now())) {
    std::string text = outcome.succeeded
                           ? "FTP転送成功: " + outcome.file
                           : "FTP転送失敗: " + outcome.file + " (" + outcome.reason + ")";
    if (outcome.retryAt) text += retryNote(*outcome.retryAt);
    messages_.show(text);
  }
  if (queue_.saveError()) messages_.show("再送の控えを書き込めません: " + *queue_.saveError());
}

std::chrono::milliseconds HeadlessDayplot::untilNextTick() const {
  return MinuteScheduler::untilNextMinute(clock_.now());
}

void HeadlessDayplot::finish() {
  // The client still running is ended: it would go on with the script removed under it.
  uploads_.stop(clock_.now());
  std::error_code ec;
  std::filesystem::remove(ftpScriptPath(programFolder_), ec);
  if (ec) messages_.show("FTPスクリプトファイルを削除できません: " + ec.message());
  messages_.show("終了しました");
}

}  // namespace radmon
