#include "ratemon_messages.h"

#include <QCoreApplication>
#include <cstring>

#include "number_text.h"

namespace radmon::messages {
namespace {

struct Words {
  Q_DECLARE_TR_FUNCTIONS(ratemon)
};

QString q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

std::string notice(const Notice& notice) {
  if (const auto* r = std::get_if<RefusedBox>(&notice))
    return Words::tr("%1に正しい数値を入力してください（前の値 %2 で続けます）")
        .arg(Words::tr(control(r->box).caption), q(shortestText(r->kept)))
        .toStdString();
  if (const auto* k = std::get_if<RecordKept>(&notice))
    return Words::tr("記録ファイルに書き込めません: %1 (%2)。%3 行を保持し、次の分に書き込みます")
        .arg(q(k->path), q(std::strerror(k->fault.error)), QString::number(k->keptLines))
        .toStdString();
  if (const auto* d = std::get_if<DeviceRefused>(&notice)) return d->text;
  return Words::tr("GM菅γ線感度を入力してください").toStdString();
}

std::string about(About what, const std::string& subject) {
  QString text;
  switch (what) {
    case About::settingsUnreadable: text = Words::tr("設定ファイルを読めません: %1"); break;
    case About::sourceUnopenable: text = Words::tr("入力 %1 を開けません。"); break;
    case About::dayplotMissing: text = Words::tr("データロガー (dayplot) が見つかりません: %1"); break;
    case About::dayplotNotStarted: text = Words::tr("データロガー (dayplot) を起動できません: %1"); break;
    case About::alarmToneNotWritten: text = Words::tr("警報音ファイルを書けません: %1"); break;
  }
  return text.arg(q(subject)).toStdString();
}

std::string alarmStarted(int stage, float grossDoseRate, float limit) {
  const QString text = stage == 1 ? Words::tr("第一段警報: %1 μSv/h > %2 μSv/h")
                                  : Words::tr("第二段警報: %1 μSv/h > %2 μSv/h");
  return text.arg(q(shortestText(grossDoseRate)), q(shortestText(limit))).toStdString();
}

std::string fileNotWritten(const std::string& path, const WriteFault& fault) {
  return Words::tr("ファイルに書き込めません: %1 (%2)")
      .arg(q(path), q(std::strerror(fault.error)))
      .toStdString();
}

std::string lockRefused(const std::string& path, const LockFile::Refusal& refusal) {
  if (refusal.inUse)
    return Words::tr("シーベルト計算はこのフォルダで既に起動しています（%1 を使用中）")
        .arg(q(path))
        .toStdString();
  return Words::tr("ロックファイル %1 を開けません (%2)")
      .arg(q(path), q(std::strerror(refusal.error)))
      .toStdString();
}

std::string usage(Usage which) {
  const char* const headless =
      "ratemon --headless --input SOURCE [--fast] [--start \"YYYY-MM-DD hh:mm:ss\"] "
      "[--seconds N]";
  if (which == Usage::windows)
    return Words::tr("使い方: ratemon [--input SOURCE]\n        %1").arg(headless).toStdString();
  return Words::tr("使い方: %1\n"
                   "  SOURCE: WAVファイル (モノラル 22050 Hz), sim:CPM, sim:BASE:RAISED@HH:MM-HH:MM,\n"
                   "          default (既定の録音デバイス) または録音デバイス名 (device:NAME)")
      .arg(headless)
      .toStdString();
}

std::string badArgument(BadArgument what, const std::string& text, Usage which) {
  QString sentence;
  switch (what) {
    case BadArgument::unknown: sentence = Words::tr("不明な引数: %1"); break;
    case BadArgument::start: sentence = Words::tr("開始日時が正しくありません: %1"); break;
    case BadArgument::seconds: sentence = Words::tr("秒数が正しくありません: %1"); break;
  }
  return sentence.arg(q(text)).toStdString() + "\n" + usage(which);
}

std::string folderDialogTitle() { return Words::tr("収集データ保存フォルダ").toStdString(); }

std::vector<std::string> folderDialogFilters() {
  return {Words::tr("テキスト ファイル (*.txt *.log)").toStdString(),
          Words::tr("すべてのファイル (*)").toStdString()};
}

std::string noScaleNote() {
  return Words::tr("第二段警報上限値が 0.35 μSV/h 以下か数値でないため、グラフを描けません")
      .toStdString();
}

std::string hoursDone(int64_t hours) {
  return Words::tr("%1 時間分を処理しました").arg(hours).toStdString();
}

}  // namespace radmon::messages
