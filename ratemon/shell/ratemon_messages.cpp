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
  }
  return text.arg(q(subject)).toStdString();
}

std::string alarmStarted(int stage, float grossDoseRate, float limit) {
  const QString text = stage == 1 ? Words::tr("第一段警報: %1 μSv/h > %2 μSv/h")
                                  : Words::tr("第二段警報: %1 μSv/h > %2 μSv/h");
  return text.arg(q(shortestText(grossDoseRate)), q(shortestText(limit))).toStdString();
}

std::string hoursDone(int64_t hours) {
  return Words::tr("%1 時間分を処理しました").arg(hours).toStdString();
}

}  // namespace radmon::messages
