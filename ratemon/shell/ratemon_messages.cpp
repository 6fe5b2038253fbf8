#include "ratemon_messages.h"

#include <QCoreApplication>
#include <QStringList>
#include <cmath>
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
  if (const auto* e = std::get_if<EventKept>(&notice))
    return Words::tr("イベント記録に書き込めません: %1 (%2)。%3 件を保持し、次の機会に書き込みます")
        .arg(q(e->path), q(std::strerror(e->fault.error)), QString::number(e->keptEvents))
        .toStdString();
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

std::string recordsPending(size_t lines, const std::string& path, const std::optional<WriteFault>& fault) {
  if (fault)
    return Words::tr("記録 %1 行を書き込めず、%2 にも保存できませんでした (%3)。")
        .arg(lines)
        .arg(q(path), q(std::strerror(fault->error)))
        .toStdString();
  return Words::tr("書き込めなかった記録 %1 行を %2 に保存しました。次の起動時に日ファイルへ書き込みます。")
      .arg(lines)
      .arg(q(path))
      .toStdString();
}

std::string pendingFlushed(const PendingFlush& flush) {
  QString text = Words::tr("前回書き込めなかった記録 %1 行を日ファイルに書き込みました。").arg(flush.written);
  if (flush.left > 0)
    text += Words::tr("%1 行はまだ書き込めません (%2)。%3 に残しています。")
                .arg(flush.left)
                .arg(q(flush.fault ? std::strerror(flush.fault->error) : ""), q(flush.path));
  return text.toStdString();
}

}  // namespace radmon::messages
