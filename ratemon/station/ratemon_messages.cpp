#include "ratemon_messages.h"

#include <QCoreApplication>
#include <cstdio>
#include <QStringList>
#include <cmath>
#include <cstring>

#include "number_text.h"

namespace radmon::messages {
namespace {

// The translation context is the class's own name, as lupdate files the texts under it.
struct Words {
  Q_DECLARE_TR_FUNCTIONS(Words)
};

QString q(const std::string& text) { return QString::fromStdString(text); }

QString fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

QString timeText(double seconds) { return q(intervalTime(seconds)); }

QString deviceLost(const DeviceFailure& failure);

}  // namespace

std::string intervalTime(double seconds) {
  const auto shown = [](double value, const char* unit) {
    return QString::number(value, 'g', 3).toStdString() + unit;
  };
  if (seconds < 1e-3) return shown(seconds * 1e6, " µs");
  if (seconds < 1.0) return shown(seconds * 1e3, " ms");
  return shown(seconds, " s");
}

std::string notice(const Notice& notice) {
  if (const auto* r = std::get_if<RefusedBox>(&notice))
    return Words::tr("%1に正しい数値を入力してください（前の値 %2 で続けます）")
        .arg(QCoreApplication::translate("ratemon", control(r->box).caption),
             q(shortestText(r->kept)))
        .toStdString();
  if (const auto* k = std::get_if<RecordKept>(&notice))
    return Words::tr("記録ファイルに書き込めません: %1 (%2)。%3 行を保持し、次の分に書き込みます")
        .arg(q(k->path), q(std::strerror(k->fault.error)), QString::number(k->keptLines))
        .toStdString();
  if (const auto* d = std::get_if<DeviceRefused>(&notice)) return deviceLost(d->failure).toStdString();
  if (const auto* e = std::get_if<EventKept>(&notice))
    return Words::tr("イベント記録に書き込めません: %1 (%2)。%3 件を保持し、次の機会に書き込みます")
        .arg(q(e->path), q(std::strerror(e->fault.error)), QString::number(e->keptEvents))
        .toStdString();
  return Words::tr("GM菅γ線感度を入力してください").toStdString();
}

std::string about(About what, const std::string& subject) {
  QString text;
  switch (what) {
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
      "[--seconds N] [--dead-time US]\n"
      "        [--mqtt mqtt://[USER[:PASSWORD]@]HOST[:PORT]/TOPIC/PREFIX] [--mqtt-discovery PREFIX]";
  if (which == Usage::windows)
    return Words::tr("使い方: ratemon [--station DIR] [--lang ja|en] [--input SOURCE]\n        %1")
        .arg(headless)
        .toStdString();
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

std::string noSource() { return Words::tr("入力が指定されていません").toStdString(); }

std::string badSimulation(const std::string& text) {
  return Words::tr("シミュレーション入力の指定が正しくありません: %1 "
                   "(例: sim:20, sim:20:120@13:00-16:00, sim:20,seed=7)")
      .arg(q(text))
      .toStdString();
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

std::string mqttAddress(MqttAddressError error, const std::string& url) {
  QString why;
  switch (error) {
    case MqttAddressError::Scheme: why = Words::tr("mqtt:// か mqtts:// で始めてください"); break;
    case MqttAddressError::Host: why = Words::tr("ホスト名がありません"); break;
    case MqttAddressError::Port: why = Words::tr("ポート番号は 1 から 65535 です"); break;
    case MqttAddressError::Prefix:
      why = Words::tr("トピックの接頭辞 (/radmon/home など) がありません。+ と # は使えません");
      break;
  }
  return Words::tr("MQTT の送信先 URL が正しくありません: %1 (%2)").arg(q(url), why).toStdString();
}

std::string linkNotice(const LinkNotice& n) {
  switch (n.kind) {
    case LinkNotice::BadAddress: return mqttAddress(n.address, n.detail);
    case LinkNotice::Settings: return settingsIssue(n.detail, n.settings);
    case LinkNotice::CannotStart:
      return Words::tr("MQTT 送信を開始できません: %1。計測は続けます").arg(q(n.detail)).toStdString();
    case LinkNotice::AckedNotSaved:
      return Words::tr("MQTT の送信済み記録を保存できません: %1").arg(q(n.detail)).toStdString();
    case LinkNotice::CatchingUp:
      return Words::tr("MQTT: 前回までに送れなかった記録 %1 件を送ります")
          .arg(static_cast<qulonglong>(n.count)).toStdString();
  }
  return {};
}

std::string linkEvent(const LinkEvent& e) {
  QString text;
  switch (e.state) {
    case LinkState::Connecting: text = Words::tr("MQTT ブローカーに接続しています: %1"); break;
    case LinkState::Connected: text = Words::tr("MQTT ブローカーに接続しました"); break;
    case LinkState::Unreachable:
      text = Words::tr("MQTT ブローカーに接続できません: %1。計測は続け、接続を試み続けます");
      break;
    case LinkState::BadLogin:
      text = Words::tr("MQTT ブローカーがユーザー名またはパスワードを受け付けません (%1)。"
                       "計測は続けます。設定を確認してください");
      break;
    case LinkState::Refused:
      text = Words::tr("MQTT ブローカーが接続を拒否しました (%1)。計測は続けます");
      break;
    case LinkState::TlsFailed:
      text = Words::tr("MQTT ブローカーの証明書を信頼できません (%1)。計測は続けます。"
                       "CA 証明書ファイルを確認してください");
      break;
    case LinkState::Lost:
      text = Words::tr("MQTT ブローカーとの接続が切れました。計測は続け、再接続して未送信の記録を送ります");
      break;
    case LinkState::Closed: return {};
  }
  return text.contains("%1") ? text.arg(q(e.detail)).toStdString() : text.toStdString();
}

std::string linkUnsent(size_t records) {
  return Words::tr("MQTT: ブローカーが受け取りを確認していない記録 %1 件は次回の起動時に送ります")
      .arg(static_cast<qulonglong>(records)).toStdString();
}

namespace {

QString stateWord(LinkState state) {
  switch (state) {
    case LinkState::Connecting: return Words::tr("接続中");
    case LinkState::Connected: return Words::tr("接続済み");
    case LinkState::Unreachable: return Words::tr("接続できません");
    case LinkState::BadLogin: return Words::tr("パスワード不可");
    case LinkState::Refused: return Words::tr("接続拒否");
    case LinkState::TlsFailed: return Words::tr("証明書不可");
    case LinkState::Lost: return Words::tr("再接続中");
    case LinkState::Closed: return Words::tr("停止");
  }
  return {};
}

}  // namespace

std::string linkStatus(const LinkStatus& s) {
  // "2026-03-01T13:05:00+09:00" shown as "2026-03-01 13:05".
  const std::string& t = s.lastAcknowledged;
  const QString last = t.size() >= 16 ? q(t.substr(0, 10) + " " + t.substr(11, 5)) : Words::tr("なし");
  return Words::tr("MQTT: %1　最終送信: %2　未送信: %3 件")
      .arg(stateWord(s.state), last, QString::number(static_cast<qulonglong>(s.waiting)))
      .toStdString();
}

std::string linkStatusShort(const LinkStatus& s) {
  const std::string& t = s.lastAcknowledged;
  const QString text = stateWord(s.state);
  return (t.size() >= 16 ? text + " " + q(t.substr(11, 5)) : text).toStdString();
}

std::string linkOff() { return Words::tr("送信しない").toStdString(); }

DiscoveryNames discoveryNames() {
  auto w = [](const char* text) { return Words::tr(text).toStdString(); };
  return {w(QT_TRANSLATE_NOOP("Words", "放射線モニタ")), w(QT_TRANSLATE_NOOP("Words", "線量率")),
          w(QT_TRANSLATE_NOOP("Words", "計数率")), w(QT_TRANSLATE_NOOP("Words", "積算カウント")),
          w(QT_TRANSLATE_NOOP("Words", "第一段警報")), w(QT_TRANSLATE_NOOP("Words", "第二段警報")),
          w(QT_TRANSLATE_NOOP("Words", "カウント"))};
}

std::string settingsIssue(const std::string& path, const LineIssue<SettingsIssue>& issue) {
  QString text;
  switch (issue.kind) {
    case SettingsIssue::UnknownLine: text = Words::tr("設定ファイル %1 の %2 行目を読めないため無視します: %3"); break;
    case SettingsIssue::BadValue: text = Words::tr("設定ファイル %1 の %2 行目: %3 の値が正しくないため使いません"); break;
    case SettingsIssue::PasswordExposed:
      return Words::tr("設定ファイルのパスワードが他のユーザーにも読めます。"
                       "所有者だけが読めるようにしてください (chmod 600): %1")
          .arg(q(path)).toStdString();
    default: return Words::tr("設定ファイルを読めません: %1").arg(q(path)).toStdString();
  }
  return text.arg(q(path)).arg(issue.line).arg(q(issue.subject)).toStdString();
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

namespace radmon::messages {
namespace {

QString inputName(const std::string& device) {
  return device.empty() ? Words::tr("既定の録音デバイス") : Words::tr("録音デバイス「%1」").arg(q(device));
}

QString faultName(SignalFault fault) {
  switch (fault) {
    case SignalFault::NoSignal: return Words::tr("信号なし");
    case SignalFault::Hum: return Words::tr("ハム・雑音");
    case SignalFault::Clipping: return Words::tr("音の飽和");
  }
  return {};
}

EventKind kindOf(SignalFault fault) {
  switch (fault) {
    case SignalFault::NoSignal: return EventKind::NoSignal;
    case SignalFault::Hum: return EventKind::Hum;
    case SignalFault::Clipping: return EventKind::Clipping;
  }
  return EventKind::NoSignal;
}

QString deviceLost(const DeviceFailure& f) {
  const QString name = inputName(f.device);
  switch (f.fault) {
    case DeviceFault::NotFound: {
      QStringList inputs;
      for (const auto& i : f.inputs) inputs << q(i);
      return Words::tr("%1が見つかりません。数秒ごとに探します。ある入力: %2")
          .arg(name, inputs.isEmpty() ? Words::tr("なし") : inputs.join(", "));
    }
    case DeviceFault::Lost:
      return Words::tr("%1が失われました。計数を止め、数秒ごとに開き直します。").arg(name);
    case DeviceFault::ServerGone:
      return Words::tr("サウンドサーバーに接続できません。計数を止め、数秒ごとに接続し直します。");
    case DeviceFault::OpenFailed:
      return Words::tr("%1を開けません (エラー %2)。数秒ごとに開き直します。").arg(name).arg(f.code);
    case DeviceFault::EndedEarly:
      return Words::tr("録音ファイルが途中で切れています。");
    case DeviceFault::FileUnreadable:
      return Words::tr("WAVファイルを開けません: %1 (%2)").arg(q(f.device), q(f.detail));
    case DeviceFault::FileFormat:
      return Words::tr("WAVファイルはモノラル 22050 Hz でなければなりません: %1 (%2 チャンネル, %3 Hz)")
          .arg(q(f.device))
          .arg(f.channels)
          .arg(f.sampleRate);
    case DeviceFault::Unavailable:
      return q(f.detail);
  }
  return {};
}

class Wording final : public EventWording {
 public:
  std::string describe(const SoundEvent& event) const override { return soundEvent(event); }
};

}  // namespace

std::string soundEvent(const SoundEvent& e) {
  QString text;
  switch (e.kind) {
    case EventKind::DeviceLost:
      text = deviceLost(e.failure);
      break;
    case EventKind::DeviceBack:
      text = Words::tr("%1が戻りました (%2 秒間音なし)。計数を再開します。")
                 .arg(inputName(e.failure.device))
                 .arg(std::llround(e.lostSeconds));
      break;
    case EventKind::SoundDropped:
      text = Words::tr("音を取りこぼしました: %1 秒分の音がありません。").arg(e.lostSeconds, 0, 'f', 1);
      break;
    case EventKind::NoSignal:
      text = e.change.flat
                 ? Words::tr("信号なし: 音が %1 秒間平坦です。ケーブルと入力を確認してください。")
                       .arg(e.change.seconds)
                 : Words::tr("信号なし: %1 秒間パルスがありません (%2 CPM のバックグラウンドでは百万分の一以下)。")
                       .arg(e.change.seconds)
                       .arg(e.change.backgroundPerMinute, 0, 'f', 1);
      break;
    case EventKind::Hum:
      text = Words::tr("ハム・雑音: 毎秒 %1 個の規則的なパルスは GM管の信号ではありません。")
                 .arg(e.change.pulsesPerSecond, 0, 'f', 1);
      break;
    case EventKind::Clipping:
      text = Words::tr("音の飽和: %1 秒間、音が入力の限界に達しています。入力レベルを下げてください。")
                 .arg(e.change.seconds);
      break;
    case EventKind::SignalOk: {
      // The fault's kind closes the text, so that dayplot ends the right period.
      const std::string_view kind = eventKindName(kindOf(e.change.fault));
      text = Words::tr("%1が解消しました").arg(faultName(e.change.fault)) + " (" +
             QString::fromUtf8(kind.data(), static_cast<qsizetype>(kind.size())) + ")";
      break;
    }
  }
  return text.toStdString();
}

std::string soundState(const SoundEvent& e) {
  QString text;
  switch (e.kind) {
    case EventKind::DeviceLost:
      text = e.failure.fault == DeviceFault::EndedEarly ? Words::tr("録音ファイルが途中で切れています")
                                                        : Words::tr("録音デバイスなし: 再接続を待っています");
      break;
    case EventKind::DeviceBack: text = Words::tr("録音デバイスが戻りました"); break;
    case EventKind::SoundDropped:
      text = Words::tr("音の取りこぼし %1 秒").arg(e.lostSeconds, 0, 'f', 1);
      break;
    case EventKind::NoSignal:
      text = e.change.flat ? Words::tr("信号なし (音が平坦)") : Words::tr("信号なし (パルスなし)");
      break;
    case EventKind::Hum: text = Words::tr("ハム・雑音: GM管の信号ではありません"); break;
    case EventKind::Clipping: text = Words::tr("音の飽和: 入力レベルを下げてください"); break;
    case EventKind::SignalOk: text = Words::tr("%1が解消しました").arg(faultName(e.change.fault)); break;
  }
  return text.toStdString();
}

const EventWording& eventWording() {
  static const Wording wording;
  return wording;
}

std::string pendingKept(Pending what, size_t lines, const std::string& path,
                        const std::optional<WriteFault>& fault) {
  const bool events = what == Pending::Events;
  if (fault)
    return (events ? Words::tr("イベント %1 件を書き込めず、%2 にも保存できませんでした (%3)。")
                   : Words::tr("記録 %1 行を書き込めず、%2 にも保存できませんでした (%3)。"))
        .arg(lines)
        .arg(q(path), q(std::strerror(fault->error)))
        .toStdString();
  return (events ? Words::tr("書き込めなかったイベント %1 件を %2 に保存しました。次の起動時にイベント記録へ書き込みます。")
                 : Words::tr("書き込めなかった記録 %1 行を %2 に保存しました。次の起動時に日ファイルへ書き込みます。"))
      .arg(lines)
      .arg(q(path))
      .toStdString();
}

std::string pendingFlushed(const ReadResult<PendingFlush, RecordIssue>& read) {
  const PendingFlush& flush = read.value;
  const bool events = flush.what == Pending::Events;
  QString text = (events ? Words::tr("前回書き込めなかったイベント %1 件をイベント記録に書き込みました。")
                         : Words::tr("前回書き込めなかった記録 %1 行を日ファイルに書き込みました。"))
                     .arg(flush.written);
  if (!read.clean())
    text += Words::tr("途中で切れた %1 行は記録として読めないため捨てました。").arg(read.issues.size());
  if (flush.left > 0)
    text += Words::tr("%1 行はまだ書き込めません (%2)。%3 に残しています。")
                .arg(flush.left)
                .arg(q(flush.fault ? std::strerror(flush.fault->error) : ""), q(flush.path));
  return text.toStdString();
}

std::string lasting(Lasting what, bool began, const std::optional<Notice>& cause) {
  if (began && cause) return notice(*cause);  // a write fault: in the words of its first failure
  std::string path;
  if (cause) std::visit([&](const auto& n) { if constexpr (requires { n.path; }) path = n.path; }, *cause);
  switch (what) {
    case Lasting::RecordsKept:
      return Words::tr("記録ファイルに再び書き込めます: %1。保持していた記録を書き込みました").arg(q(path)).toStdString();
    case Lasting::EventsKept:
      return Words::tr("イベント記録に再び書き込めます: %1。保持していたイベントを書き込みました").arg(q(path)).toStdString();
  }
  return {};
}

}  // namespace radmon::messages
