#include "ratemon_messages.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

#include "number_text.h"

namespace radmon::messages {
namespace {

struct Words {
  Q_DECLARE_TR_FUNCTIONS(ratemon)
};

QString q(const std::string& text) { return QString::fromStdString(text); }

QString fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

// A time as the pulse-interval view shows it: 10 µs, 2.5 ms, 1 s.
QString timeText(double seconds) {
  if (seconds < 1e-3) return QString::number(seconds * 1e6, 'g', 3) + " µs";
  if (seconds < 1.0) return QString::number(seconds * 1e3, 'g', 3) + " ms";
  return QString::number(seconds, 'g', 3) + " s";
}

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

std::string countingSettingsIssue(CountingSettingsIssue issue, const std::string& path) {
  QString text;
  switch (issue) {
    case CountingSettingsIssue::Unreadable: text = Words::tr("計数設定ファイルを読めません: %1"); break;
    case CountingSettingsIssue::UnknownLine:
      text = Words::tr("計数設定ファイルに読めない行があります (無視します): %1");
      break;
    case CountingSettingsIssue::BadDeadTime:
      text = Words::tr("計数設定ファイルの不感時間 (dead_time_us) は 0～100000 μs の数値にしてください。"
                       "補正は行いません: %1");
      break;
  }
  return text.arg(q(path)).toStdString();
}

std::string badDeadTime(const std::string& text) {
  return Words::tr("不感時間が正しくありません (0～100000 μs): %1").arg(q(text)).toStdString();
}

std::string readingInterval(const ReadingInterval& r) {
  if (r.seconds <= 0) return {};
  return Words::tr("95%区間 CPM %1～%2\n%3～%4 μSv/h")
      .arg(fixed(r.cpmLow, 1), fixed(r.cpmHigh, 1), fixed(r.doseLow, 3), fixed(r.doseHigh, 3))
      .toStdString();
}

std::string deadTimeState(double microseconds, bool capped) {
  if (!(microseconds > 0)) return {};
  if (capped)
    return Words::tr("不感時間補正が上限 (τ %1 μs): 値は低め")
        .arg(QString::number(microseconds, 'g', 4))
        .toStdString();
  return Words::tr("不感時間補正 τ %1 μs").arg(QString::number(microseconds, 'g', 4)).toStdString();
}

std::string scanDeadTimeOffer(double microseconds) {
  return Words::tr("この分解能での不感時間: %1 μs").arg(fixed(microseconds, 0)).toStdString();
}

std::string counting(Counting caption) {
  switch (caption) {
    case Counting::intervalsButton: return Words::tr("パルス間隔").toStdString();
    case Counting::deadTimeTick: return Words::tr("不感時間補正").toStdString();
    case Counting::deadTimeUnit: return Words::tr("μs").toStdString();
    case Counting::bandTick: return Words::tr("リアルタイムグラフに95%区間").toStdString();
  }
  return {};
}

std::string intervalLabel(IntervalLabel label) {
  switch (label) {
    case IntervalLabel::title: return Words::tr("パルス間隔の分布 (横軸は対数)").toStdString();
    case IntervalLabel::measured: return Words::tr("測定").toStdString();
    case IntervalLabel::random: return Words::tr("ランダムな線源").toStdString();
  }
  return {};
}

std::string intervalFigures(const IntervalAnalysis& a) {
  if (a.intervals == 0) return {};
  return Words::tr("最短間隔: %1 (不感時間はこれ以下)   計数率: %2 CPM   間隔: %3 個")
      .arg(timeText(a.shortest), fixed(a.rate * 60, 1), QString::number(a.intervals))
      .toStdString();
}

std::string intervalAdvice(IntervalVerdict verdict, const IntervalAnalysis& a) {
  switch (verdict) {
    case IntervalVerdict::TooFew:
      return Words::tr("判定にはパルスが足りません (間隔 %1 個以上が必要です)")
          .arg(static_cast<qulonglong>(kFewestIntervals))
          .toStdString();
    case IntervalVerdict::LooksRandom:
      return Words::tr("間隔はランダムな放射線の形 (指数分布) に合っています").toStdString();
    case IntervalVerdict::Rings:
      return Words::tr("2 ms 未満の間隔が多すぎます (%1 個, ランダムなら %2 個): 管の信号がリンギングしています。"
                       "分解能か不感帯を大きくしてください")
          .arg(QString::number(a.shortObserved), fixed(a.shortExpected, 1))
          .toStdString();
    case IntervalVerdict::ResolutionEatsPulses:
      return Words::tr("%1 より短い間隔がありません: 分解能がパルスを約 %2 % 取りこぼしています。"
                       "分解能を小さくするか、不感時間補正を使ってください")
          .arg(timeText(a.shortest), fixed(100 * a.holeLoss, 1))
          .toStdString();
    case IntervalVerdict::MainsPeaks:
      return Words::tr("電源 (%1 Hz) の半周期の倍数に間隔の山があります: 電源からの雑音を数えています。"
                       "配線とシールド、しきい値を見直してください")
          .arg(a.mainsHz)
          .toStdString();
  }
  return {};
}

}  // namespace radmon::messages
