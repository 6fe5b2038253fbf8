#include "headless_dayplot.h"

#include <filesystem>

#include "ftp_upload.h"

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
      scheduler_(clock.now()) {
  const DayplotSettings& c = start_.controls;
  std::string plan;
  if (c.Check3 == 1) plan += "当日分を" + std::to_string(start_.RealtimeInterval) + "分毎に処理";
  if (c.Check4 == 1) {
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
    messages_.show(outcome.succeeded ? "FTP転送成功: " + outcome.file
                                     : "FTP転送失敗: " + outcome.file + " (" + outcome.reason + ")");
  }
}

std::chrono::milliseconds HeadlessDayplot::untilNextTick() const {
  return MinuteScheduler::untilNextMinute(clock_.now());
}

void HeadlessDayplot::finish() {
  std::error_code ec;
  std::filesystem::remove(ftpScriptPath(programFolder_), ec);
  if (ec) messages_.show("FTPスクリプトファイルを削除できません: " + ec.message());
  messages_.show("終了しました");
}

}  // namespace radmon
