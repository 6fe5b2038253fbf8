#include "ratemon_messages.h"

#include "ratemon_options.h"
#include "ui_translator.h"

#include <QCoreApplication>
#include <QStringList>
#include <cmath>
#include <concepts>
#include <cstring>
#include <utility>

#include "number_text.h"

namespace radmon::messages {
namespace {

// The translation context is the class's own name, as lupdate files the texts under it.
struct Words {
  Q_DECLARE_TR_FUNCTIONS(Words)
};

QString q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
QString q(const char* text) { return QString::fromUtf8(text); }
QString q(const QString& text) { return text; }
template <std::integral Number>
QString q(Number number) {
  return QString::number(number);
}

// The translated text with %1, %2... filled in one pass, so that a path holding "%2"
// stays as it is.
template <typename... Args>
QString filled(const QString& text, const Args&... args) {
  return text.arg(q(args)...);
}
std::string say(const QString& text) { return text.toStdString(); }
template <typename... Args>
std::string say(const QString& text, const Args&... args) {
  return filled(text, args...).toStdString();
}

// One more sentence of a message: Japanese runs on after its full stop, English leaves a
// space.
void addSentence(QString& text, const QString& sentence) {
  if (!text.isEmpty() && !text.endsWith(u'。')) text += u' ';
  text += sentence;
}

QString fixed(double value, int decimals) { return q(fixedText(value, decimals)); }

QString timeText(double seconds) { return q(intervalTime(seconds)); }

// The fixed text for each value of an enum, in the enum's order, filed under "Words".
template <typename Enum, size_t N>
QString pick(const char* const (&texts)[N], Enum value) {
  return Words::tr(texts[std::to_underlying(value)]);
}
template <typename Enum>
constexpr size_t countOf(Enum last) {
  return std::to_underlying(last) + size_t{1};
}

constexpr const char* kStateWords[] = {
    QT_TRANSLATE_NOOP("Words", "接続中"),         QT_TRANSLATE_NOOP("Words", "接続済み"),
    QT_TRANSLATE_NOOP("Words", "接続できません"), QT_TRANSLATE_NOOP("Words", "パスワード不可"),
    QT_TRANSLATE_NOOP("Words", "接続拒否"),       QT_TRANSLATE_NOOP("Words", "証明書不可"),
    QT_TRANSLATE_NOOP("Words", "再接続中"),       QT_TRANSLATE_NOOP("Words", "停止")};
static_assert(std::size(kStateWords) == countOf(LinkState::Closed));

QString inputName(const std::string& device) {
  return device.empty() ? Words::tr("既定の録音デバイス")
                        : filled(Words::tr("録音デバイス「%1」"), device);
}

constexpr const char* kFaultNames[] = {
    QT_TRANSLATE_NOOP("Words", "信号なし"), QT_TRANSLATE_NOOP("Words", "ハム・雑音"),
    QT_TRANSLATE_NOOP("Words", "音の飽和"), QT_TRANSLATE_NOOP("Words", "電源からの雑音"),
    QT_TRANSLATE_NOOP("Words", "アフターパルス")};
static_assert(std::size(kFaultNames) == kSignalFaults);

QString deviceLost(const DeviceFailure& f) {
  const QString name = inputName(f.device);
  switch (f.fault) {
    case DeviceFault::NotFound: {
      QStringList inputs;
      // A monitor records what an output plays: named as such.
      for (const auto& i : f.inputs)
        inputs << (i.ends_with(".monitor") ? filled(Words::tr("%1 (出力のモニター)"), q(i)) : q(i));
      return filled(Words::tr("%1が見つかりません。数秒ごとに探します。ある入力: %2"), name,
                    inputs.isEmpty() ? Words::tr("なし") : inputs.join(", "));
    }
    case DeviceFault::Lost:
      return filled(Words::tr("%1が失われました。計数を止め、数秒ごとに開き直します。"), name);
    case DeviceFault::ServerGone:
      return filled(Words::tr("サウンドサーバーに接続できません (%1)。計数を止め、"
                              "数秒ごとに接続し直します。"),
                    name);
    case DeviceFault::OpenFailed:
      return filled(Words::tr("%1を開けません (エラー %2)。数秒ごとに開き直します。"), name,
                    f.code);
    case DeviceFault::EndedEarly:
      return Words::tr("録音ファイルが途中で切れています。");
    case DeviceFault::FileUnreadable:
      return filled(Words::tr("WAVファイルを開けません: %1 (%2)"), f.device, f.detail);
    case DeviceFault::FileEmpty:
      return filled(Words::tr("WAVファイルに音がありません: %1"), f.device);
    case DeviceFault::FileFormat:
      return filled(
          Words::tr(
              "WAVファイルはモノラル 22050 Hz でなければなりません: %1 (%2 チャンネル, %3 Hz)"),
          f.device, f.channels, f.sampleRate);
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

std::string intervalTime(double seconds) {
  const auto shown = [](double value, const char* unit) {
    return significantText(value, 3) + unit;
  };
  if (seconds < 1e-3) return shown(seconds * 1e6, " μs");
  if (seconds < 1.0) return shown(seconds * 1e3, " ms");
  return shown(seconds, " s");
}

std::string sensitivityCommand() {
  return say(
      Words::tr("画面なしでは ratemon --set tube_sensitivity=N で設定してください (N は GM "
                "管のγ線感度、cps/mR/h、例えば 18)。"));
}

std::string noInputGiven() {
  return say(
      Words::tr("--headless には --input SOURCE が必要です (録音デバイスは --input "
                "default)。"));
}

std::string missingValue(const std::string& option) {
  return say(Words::tr("%1 の後に値を指定してください。"), option);
}

std::string boxRefused(Box box, const ValueFault& fault) {
  return say(Words::tr("%1: 入力を取り消しました。%2"),
             QCoreApplication::translate("ratemon", control(box).caption), valueFaultText(fault));
}

std::string boxOutsideUsual(Box box, const ValueFault& fault) {
  return say(Words::tr("%1: 普通の範囲の外です。%2 入力された値のまま使います。"),
             QCoreApplication::translate("ratemon", control(box).caption), valueFaultText(fault));
}

std::string boxNotUsable(Box box, const ValueFault& fault) {
  return say(Words::tr("%1: この値は記録先として使えません。%2"),
             QCoreApplication::translate("ratemon", control(box).caption), valueFaultText(fault));
}

std::string notice(const Notice& notice) {
  if (const auto* r = std::get_if<RefusedBox>(&notice))
    return say(Words::tr("%1に正しい数値を入力してください（前の値 %2 で続けます）"),
               QCoreApplication::translate("ratemon", control(r->box).caption),
               shortestText(r->kept));
  if (const auto* k = std::get_if<RecordKept>(&notice))
    return say(
        Words::tr("記録ファイルに書き込めません: %1 (%2)。%3 行を保持し、次の分に書き込みます"),
        k->path, std::strerror(k->fault.error), k->keptLines);
  if (const auto* d = std::get_if<DeviceRefused>(&notice)) return say(deviceLost(d->failure));
  if (const auto* e = std::get_if<EventKept>(&notice))
    return say(
        Words::tr("イベント記録に書き込めません: %1 (%2)。%3 件を保持し、次の機会に書き込みます"),
        e->path, std::strerror(e->fault.error), e->keptEvents);
  return say(Words::tr("GM菅γ線感度を入力してください"));
}

std::string about(About what, const std::string& subject) {
  static constexpr const char* kTexts[] = {
      QT_TRANSLATE_NOOP("Words", "入力 %1 を開けません。"),
      QT_TRANSLATE_NOOP("Words", "データロガー (dayplot) が見つかりません: %1"),
      QT_TRANSLATE_NOOP("Words", "データロガー (dayplot) を起動できません: %1"),
      QT_TRANSLATE_NOOP("Words", "警報音ファイルを書けません: %1")};
  static_assert(std::size(kTexts) == countOf(About::alarmToneNotWritten));
  return say(pick(kTexts, what), subject);
}

std::string alarmStarted(int stage, float grossDoseRate, float limit, bool silence) {
  if (silence)
    return say(stage == 1 ? Words::tr("第一段警報: パルスがありません (入力が切れているか、GM管が"
                                      "パルスを出せないほど飽和しています)")
                          : Words::tr("第二段警報: パルスがありません (入力が切れているか、GM管が"
                                      "パルスを出せないほど飽和しています)"));
  return say(stage == 1 ? Words::tr("第一段警報: %1 μSv/h > %2 μSv/h")
                        : Words::tr("第二段警報: %1 μSv/h > %2 μSv/h"),
             shortestText(grossDoseRate), shortestText(limit));
}

std::string stillWaiting(const std::string& device, int64_t minutes) {
  return say(Words::tr("%1を待っています (%2 分間音なし)。"), inputName(device), minutes);
}

std::string soundBroken() {
  return say(
      Words::tr("このプロセスからはサウンドサーバーに接続できなくなりました。"
                "終了します (再起動で直ります)。"));
}

std::string alarmOutputUnavailable(const std::string& output) {
  return say(Words::tr("警報音の出力 %1 を開けません。警報は音なしで知らせ、計測を続けます。"),
             output.empty() ? Words::tr("(既定の出力なし)") : q(output));
}

std::string alarmOutputBack(const std::string& output) {
  return say(Words::tr("警報音の出力 %1 に戻りました。警報は再び音でも知らせます。"), q(output));
}

std::string fileNotWritten(const std::string& path, const WriteFault& fault) {
  return say(Words::tr("ファイルに書き込めません: %1 (%2)"), path, std::strerror(fault.error));
}

std::string lockRefused(const std::string& path, const LockFile::Refusal& refusal) {
  if (refusal.inUse)
    return say(Words::tr("シーベルト計算はこのフォルダで既に起動しています（%1 を使用中）。"
                         "サービスとして動いている場合は systemctl --user stop ratemon "
                         "で止められます。"),
               path);
  return say(Words::tr("ロックファイル %1 を開けません (%2)"), path, std::strerror(refusal.error));
}

std::string usage() {
  std::string text = programUsage(ratemonOptions());
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::string badArgument(BadArgument what, const std::string& text) {
  static constexpr const char* kTexts[] = {
      QT_TRANSLATE_NOOP("Words", "開始日時が正しくありません: %1"),
      QT_TRANSLATE_NOOP("Words", "秒数が正しくありません: %1"),
      QT_TRANSLATE_NOOP("Words",
                        "HTTP の待ち受けアドレスが正しくありません "
                        "(PORT, 127.0.0.1:PORT, [::]:PORT など): %1")};
  static_assert(std::size(kTexts) == countOf(BadArgument::http));
  return say(pick(kTexts, what), text) + "\n" + usage();
}

std::string liveListening(const std::string& address) {
  return say(Words::tr("ライブページ: http://%1/"), address);
}

std::string liveNotListening(const std::string& address, const std::string& reason,
                             int retrySeconds) {
  return say(
      Words::tr("ライブページを %1 で開けません (%2)。計測は続け、開けるまで %3 秒ごとに試します"),
      address, reason, retrySeconds);
}

std::string noDisplay() {
  return say(
      Words::tr("画面がないためウィンドウを開けません。画面なしで測定するには "
                "ratemon --headless --input SOURCE を使ってください。"));
}

std::string noSource() { return say(Words::tr("入力が指定されていません")); }

std::string badSimulation(const std::string& text) {
  return say(Words::tr("シミュレーション入力の指定が正しくありません: %1 "
                       "(例: sim:20, sim:20:120@13:00-16:00, sim:20,seed=7)"),
             text);
}

std::string folderDialogTitle() { return say(Words::tr("収集データ保存フォルダ")); }

std::vector<std::string> folderDialogFilters() {
  return {say(Words::tr("テキスト ファイル (*.txt *.log)")),
          say(Words::tr("すべてのファイル (*)"))};
}

std::string noScaleNote() {
  return say(Words::tr("第二段警報上限値が 0.35 μSV/h 以下か数値でないため、グラフを描けません"));
}

std::string hoursDone(int64_t hours) { return say(Words::tr("%1 時間分を処理しました"), hours); }

std::string mqttAddress(MqttAddressError error, const std::string& url) {
  static constexpr const char* kWhy[] = {
      QT_TRANSLATE_NOOP("Words", "mqtt:// か mqtts:// で始めてください"),
      QT_TRANSLATE_NOOP("Words", "ホスト名がありません"),
      QT_TRANSLATE_NOOP("Words", "ポート番号は 1 から 65535 です"),
      QT_TRANSLATE_NOOP("Words",
                        "トピックの接頭辞 (/radmon/home など) がありません。+ と # は使えません")};
  static_assert(std::size(kWhy) == countOf(MqttAddressError::Prefix));
  return say(Words::tr("MQTT の送信先 URL が正しくありません: %1 (%2)"), url, pick(kWhy, error));
}

std::string linkNotice(const LinkNotice& n) {
  switch (n.kind) {
    case LinkNotice::BadAddress:
      return mqttAddress(n.address, n.detail);
    case LinkNotice::Settings:
      return settingsIssue(n.detail, n.settings);
    case LinkNotice::CannotStart:
      return say(Words::tr("MQTT 送信を開始できません: %1。計測には影響しません"), n.detail);
    case LinkNotice::AckedNotSaved:
      return say(Words::tr("MQTT の送信済み記録を保存できません: %1"), n.detail);
    case LinkNotice::CatchingUp:
      return say(Words::tr("MQTT: 前回までに送れなかった記録 %1 件を送ります"), n.count);
    case LinkNotice::PasswordShown:
      return say(
          Words::tr("MQTT: --mqtt の URL にパスワードがあります。ps で他のユーザーにも"
                    "見えるため、環境変数 RADMON_MQTT_PASSWORD か設定ファイルの "
                    "password= で渡してください"));
    case LinkNotice::BadStationId:
      return say(Words::tr("局 ID のファイル %1 に使える ID がありません (英小文字・数字・_・- "
                           "で 32 文字まで)。MQTT 送信はしません。計測には影響しません"),
                 n.detail);
    case LinkNotice::StationIdNotSaved:
      return say(Words::tr("局 ID をファイル %1 に保存できません。次回の起動では別の ID "
                           "になります"),
                 n.detail);
  }
  return {};
}

std::string linkEvent(const LinkEvent& e) {
  switch (e.state) {
    case LinkState::Connecting:
      return say(Words::tr("MQTT ブローカーに接続しています: %1"), e.detail);
    case LinkState::Connected:
      return say(Words::tr("MQTT ブローカーに接続しました"));
    case LinkState::Unreachable:
      return say(
          Words::tr(
              "MQTT ブローカーに接続できません: %1。接続を試み続けます。計測には影響しません"),
          e.detail);
    case LinkState::BadLogin:
      return say(Words::tr("MQTT ブローカーがユーザー名またはパスワードを受け付けません (%1)。"
                           "設定を確認してください。計測には影響しません"),
                 e.detail);
    case LinkState::Refused:
      return say(Words::tr("MQTT ブローカーが接続を拒否しました (%1)。計測には影響しません"),
                 e.detail);
    case LinkState::TlsFailed:
      return say(Words::tr("MQTT ブローカーの証明書を信頼できません (%1)。"
                           "CA 証明書ファイルを確認してください。計測には影響しません"),
                 e.detail);
    case LinkState::Lost:
      return say(
          Words::tr("MQTT "
                    "ブローカーとの接続が切れました。再接続すると未送信の記録を送ります。計測には影"
                    "響しません"));
    case LinkState::Closed:
      return {};
  }
  return {};
}

std::string linkUnsent(size_t records) {
  return say(
      Words::tr("MQTT: ブローカーが受け取りを確認していない記録 %1 件は次回の起動時に送ります"),
      records);
}

std::string linkStatus(const LinkStatus& s) {
  // "2026-03-01T13:05:00+09:00" shown as "2026-03-01 13:05".
  const std::string& t = s.lastAcknowledged;
  const QString last =
      t.size() >= 16 ? q(t.substr(0, 10) + " " + t.substr(11, 5)) : Words::tr("なし");
  return say(Words::tr("MQTT: %1　最終送信: %2　未送信: %3 件"), pick(kStateWords, s.state), last,
             s.waiting);
}

std::string linkStatusShort(const LinkStatus& s) {
  const std::string& t = s.lastAcknowledged;
  const QString text = pick(kStateWords, s.state);
  return say(t.size() >= 16 ? text + " " + q(t.substr(11, 5)) : text);
}

std::string linkOff() { return say(Words::tr("送信しない")); }

namespace {

// The services' own names, the same in every language.
constexpr const char* kMapNames[] = {"radmon.org", "GMCmap", "Safecast"};
static_assert(std::size(kMapNames) == kMapServices.size());
const char* mapName(MapService service) { return kMapNames[std::to_underlying(service)]; }

// A refusal that the service's answer words, as the operator would say it; empty for
// one that only an HTTP status tells.
QString refusalWords(const MapOutcome& o) {
  if (o.answer == MapAnswer::Unexpected)
    return filled(Words::tr("%1 が受け付けたとも断ったとも読めない応答をしました:「%2」"),
                  mapName(o.service), o.said);
  static constexpr const char* kTexts[] = {
      nullptr,
      nullptr,  // Taken, HttpRefused
      QT_TRANSLATE_NOOP("Words", "radmon.org がユーザ「%1」のパスワードを拒否しました"),
      QT_TRANSLATE_NOOP("Words", "radmon.org にユーザ「%1」は登録されていません"),
      QT_TRANSLATE_NOOP("Words", "GMCmap にアカウント ID「%1」はありません (ERR1)"),
      QT_TRANSLATE_NOOP("Words", "GMCmap にガイガーカウンタ ID「%1」はありません (ERR2)")};
  static_assert(std::size(kTexts) == countOf(MapAnswer::UnknownCounter));
  const char* text = kTexts[std::to_underlying(o.answer)];
  return text ? filled(Words::tr(text), o.account) : QString();
}

QString mapFault(const MapOutcome& o) {
  if (o.kind == MapOutcome::Unreachable)
    return filled(Words::tr("接続できません (libcurl %1)"), o.detail);
  const QString words = refusalWords(o);
  return words.isEmpty() ? filled(Words::tr("HTTP %1 で断られました"), o.detail) : words;
}

}  // namespace

std::string mapFailed(const MapOutcome& o) {
  if (const QString words = refusalWords(o); !words.isEmpty())
    return say(Words::tr("%1。送れなかった %2 分は待っていて、受け付けられたら送ります"), words,
               o.count);
  return say(Words::tr("%1: 送信できません: %2。送れなかった分は %3 分待っていて、後で送ります"),
             mapName(o.service), mapFault(o), o.count);
}

std::string mapRecovered(MapService service) {
  return say(Words::tr("%1: 送信が戻りました"), mapName(service));
}

std::string mapSkipped(MapService service, size_t minutes) {
  return say(Words::tr("%1: 現在値しか受け付けないため、溜まった %2 分を飛ばし最新の値を送ります"),
             mapName(service), minutes);
}

std::string mapUnsent(MapService service, size_t minutes) {
  return say(Words::tr("%1: 送れなかった %2 分は次回の起動時に送ります"), mapName(service),
             minutes);
}

std::string mapStatus(MapService service, const std::optional<MapOutcome>& last) {
  if (!last) return say(Words::tr("%1: 未送信"), mapName(service));
  if (last->kind == MapOutcome::Sent) return say(Words::tr("%1: 送信済み"), mapName(service));
  return say(Words::tr("%1: %2 (待ち %3 分)"), mapName(service), mapFault(*last), last->count);
}

DiscoveryNames discoveryNames() {
  return {say(Words::tr("放射線モニタ")),
          say(Words::tr("線量率")),
          say(Words::tr("計数率")),
          say(Words::tr("積算カウント")),
          say(Words::tr("第一段警報")),
          say(Words::tr("第二段警報")),
          say(Words::tr("信号の状態")),
          say(Words::tr("線量率 95%区間の下限")),
          say(Words::tr("線量率 95%区間の上限")),
          say(Words::tr("線量率は下限値"))};
}

std::string settingsIssue(const std::string& path, const LineIssue<SettingsIssue>& issue) {
  switch (issue.kind) {
    case SettingsIssue::UnknownLine:
      return say(Words::tr("設定ファイル %1 の %2 行目を読めないため無視します: %3"), path,
                 issue.line, issue.subject);
    case SettingsIssue::BadValue:
      return say(Words::tr("設定ファイル %1 の %2 行目: %3 の値が正しくないため使いません"), path,
                 issue.line, issue.subject);
    case SettingsIssue::PasswordExposed:
      return say(Words::tr("設定ファイルのパスワードが他のユーザーにも読めます。"
                           "所有者だけが読めるようにしてください (chmod 600): %1"),
                 path);
    default:
      return say(Words::tr("設定ファイルを読めません: %1"), path);
  }
}

std::string badDeadTime(const std::string& text) {
  return say(Words::tr("不感時間が正しくありません (0～100000 μs): %1"), text);
}

std::string readingInterval(const ReadingInterval& r, double deadTimeMicroseconds) {
  if (r.seconds <= 0) return {};
  // An upper end past the dead-time cap is none.
  auto upper = [](double value, int decimals) {
    return std::isfinite(value) ? fixed(value, decimals) : QStringLiteral("∞");
  };
  std::string text = say(Words::tr("95%区間 CPM %1～%2\n%3～%4 μSv/h"), fixed(r.cpmLow, 1),
                         upper(r.cpmHigh, 1), fixed(r.doseLow, 3), upper(r.doseHigh, 3));
  if (deadTimeMicroseconds > 0)
    text += say(Words::tr(" (τ %1 μs)"), significantText(deadTimeMicroseconds, 4));
  return text;
}

std::string readingLowerBound(const DoseResult& dose, const ReadingInterval& r,
                              bool tubeSaturated) {
  return say(tubeSaturated ? Words::tr("≥ %1 CPM ≥ %2 μSv/h\n95%区間 ≥ %3 CPM (GM管の飽和)")
                           : Words::tr("≥ %1 CPM ≥ %2 μSv/h\n95%区間 ≥ %3 CPM (τ 上限超え)"),
             dose.cpm, shortestText(dose.netDoseRate), fixed(r.cpmLow, 0));
}

std::string deadTimeOffer(const ResolvingTimeEstimate& estimate, double scanMicroseconds) {
  if (estimate.enough)
    return say(Words::tr("間隔からの推定: %1 μs"), fixed(estimate.seconds * 1e6, 0));
  return say(Words::tr("推定にはパルス不足 (最小 %1 μs)"), fixed(scanMicroseconds, 0));
}

std::string counting(Counting caption) {
  static constexpr const char* kTexts[] = {
      QT_TRANSLATE_NOOP("Words", "パルス間隔"), QT_TRANSLATE_NOOP("Words", "不感時間補正"),
      QT_TRANSLATE_NOOP("Words", "μs"), QT_TRANSLATE_NOOP("Words", "リアルタイムグラフに95%区間"),
      QT_TRANSLATE_NOOP("Words",
                        "警報は95%区間の下限が警報値を10秒続けて超えたときに鳴らす "
                        "(1パルスや偶然の1分では鳴らない)")};
  static_assert(std::size(kTexts) == countOf(Counting::evidenceTick));
  return say(pick(kTexts, caption));
}

std::string intervalLabel(IntervalLabel label) {
  static constexpr const char* kTexts[] = {
      QT_TRANSLATE_NOOP("Words", "パルス間隔の分布 (横軸は対数)"),
      QT_TRANSLATE_NOOP("Words", "測定"), QT_TRANSLATE_NOOP("Words", "ランダムな線源")};
  static_assert(std::size(kTexts) == countOf(IntervalLabel::random));
  return say(pick(kTexts, label));
}

std::string intervalFigures(const IntervalAnalysis& a) {
  if (a.intervals == 0) return {};
  return say(Words::tr("最短間隔: %1 (不感時間はこれ以下)   計数率: %2 CPM   間隔: %3 個"),
             timeText(a.shortest), fixed(a.rate * 60, 1), a.intervals);
}

std::string intervalAdvice(IntervalVerdict verdict, const IntervalAnalysis& a) {
  switch (verdict) {
    case IntervalVerdict::TooFew:
      return say(Words::tr("判定にはパルスが足りません (間隔 %1 個以上が必要です)"),
                 kFewestIntervals);
    case IntervalVerdict::LooksRandom:
      return say(Words::tr("間隔はランダムな放射線の形 (指数分布) に合っています"));
    case IntervalVerdict::Rings:
      return say(Words::tr("2 ms 未満の間隔が多すぎます (%1 個, ランダムなら %2 個): "
                           "管の信号がリンギングしています。"
                           "分解能か不感帯を大きくしてください"),
                 a.shortObserved, fixed(a.shortExpected, 1));
    case IntervalVerdict::ResolutionEatsPulses:
      return say(
          Words::tr("%1 より短い間隔がありません: 分解能がパルスを約 %2 % 取りこぼしています。"
                    "分解能を小さくするか、不感時間補正を使ってください"),
          timeText(a.shortest), fixed(100 * a.holeLoss, 1));
    case IntervalVerdict::MainsPeaks:
      return say(
          Words::tr(
              "電源 (%1 Hz) の半周期の倍数に間隔の山があります: 電源からの雑音を数えています。"
              "配線とシールド、しきい値を見直してください"),
          a.mainsHz);
  }
  return {};
}

std::string soundEvent(const SoundEvent& e) {
  // No fault's name: the period of every signal fault ends here.
  if (e.runEnded && e.kind == EventKind::DeviceBack)
    return say(Words::tr("記録が止まったため、入力が失われていた期間をここで閉じます。"));
  if (e.runEnded && e.kind == EventKind::SignalOk)
    return say(Words::tr("記録が止まったため、信号の異常の期間をここで閉じます。"));
  switch (e.kind) {
    case EventKind::DeviceLost:
      return say(deviceLost(e.failure));
    case EventKind::DeviceBack:
      return say(Words::tr("%1が戻りました (%2 秒間音なし)。計数を再開します。"),
                 inputName(e.failure.device), std::llround(e.lostSeconds));
    case EventKind::SoundDropped:
      return say(Words::tr("音を取りこぼしました: %1 秒分の音がありません。"),
                 fixed(e.lostSeconds, 1));
    case EventKind::NoSignal:
      if (e.change.flat)
        return say(Words::tr("信号なし: 音が %1 秒間平坦です。ケーブルと入力を確認してください。"),
                   e.change.seconds);
      // A paralysable tube far past its highest count is as silent as a dead input.
      return say(Words::tr("信号なし: %1 秒間パルスがありません (%2 CPM "
                           "のバックグラウンドでは百万分の一以下)。入力が途絶えたか、"
                           "GM管が飽和してパルスを出さなくなっています。"),
                 e.change.seconds, fixed(e.change.backgroundPerMinute, 1));
    case EventKind::Hum:
      return say(Words::tr("ハム・雑音: 毎秒 %1 個の規則的なパルスは GM管の信号ではありません。"),
                 fixed(e.change.pulsesPerSecond, 1));
    case EventKind::Clipping:
      if (e.change.noise)
        return say(
            Words::tr("音の飽和: %1 秒間、GM管では出ない広帯域の雑音が入っています。"
                      "その計数は放射線ではありません。配線と入力レベルを確認してください。"),
            e.change.seconds);
      return say(
          Words::tr(
              "音の飽和: %1 秒間、音が入力の限界に達しています。入力レベルを下げてください。"),
          e.change.seconds);
    case EventKind::Interference:
      return say(Words::tr("電源からの雑音: 毎秒約 %1 個のパルスが電源 (%2 Hz) "
                           "の周期に揃っています。配線とシールド、しきい値を見直してください。"),
                 fixed(e.change.pulsesPerSecond, 1), e.change.mainsHz);
    case EventKind::AfterPulses:
      return say(Words::tr("アフターパルス: 2 ms 未満の間隔がパルスの %1 % あり、"
                           "偶然では説明できません。GM管と分解能を確認してください。"),
                 fixed(e.change.shortShare * 100, 2));
    case EventKind::DeadTimeCapped:
      return say(Words::tr("計数率が不感時間補正の上限を超えました: CPM と線量率は下限値です。"));
    case EventKind::DeadTimeOk:
      return say(Words::tr("計数率が不感時間補正の上限を下回りました。"));
    case EventKind::TubeSaturated:
      return say(Words::tr("GM管の飽和: 線量率はこの GM管が数えられる範囲を超えています。"));
    case EventKind::TubeSaturatedOk:
      return say(Words::tr("GM管の飽和が解けました: 計数は再び GM管の範囲内です。"));
    case EventKind::Alarm1:
      return alarmStarted(1, e.grossDoseRate, e.limit, e.silence);
    case EventKind::Alarm2:
      return alarmStarted(2, e.grossDoseRate, e.limit, e.silence);
    case EventKind::Alarm1Reset:
    case EventKind::Alarm2Reset:
      return soundState(e);
    case EventKind::SignalOk:
      // The fault's kind closes the text, so that dayplot ends the right period.
      return say(Words::tr("%1が解消しました"), pick(kFaultNames, e.change.fault)) + " (" +
             std::string(eventKindName(signalFaultKind(e.change.fault))) + ")";
  }
  return {};
}

std::string soundState(const SoundEvent& e) {
  switch (e.kind) {
    case EventKind::DeviceLost:
      return say(e.failure.fault == DeviceFault::EndedEarly
                     ? Words::tr("録音ファイルが途中で切れています")
                     : Words::tr("録音デバイスなし: 再接続を待っています"));
    case EventKind::DeviceBack:
      return say(Words::tr("録音デバイスが戻りました"));
    case EventKind::SoundDropped:
      return say(Words::tr("音の取りこぼし %1 秒"), fixed(e.lostSeconds, 1));
    case EventKind::NoSignal:
      return say(e.change.flat ? Words::tr("信号なし (音が平坦)")
                               : Words::tr("信号なし (パルスなし)"));
    case EventKind::Hum:
      return say(Words::tr("ハム・雑音: GM管の信号ではありません"));
    case EventKind::Clipping:
      return say(e.change.noise ? Words::tr("音の飽和: 広帯域の雑音")
                                : Words::tr("音の飽和: 入力レベルを下げてください"));
    case EventKind::Interference:
      return say(Words::tr("電源からの雑音: 電源に揃ったパルス"));
    case EventKind::AfterPulses:
      return say(Words::tr("アフターパルス: 短い間隔が多すぎます"));
    case EventKind::DeadTimeCapped:
      return say(Words::tr("不感時間補正の上限超え: 値は下限"));
    case EventKind::DeadTimeOk:
      return say(Words::tr("不感時間補正の上限内に戻りました"));
    case EventKind::TubeSaturated:
      return say(Words::tr("GM管の飽和: 値は下限"));
    case EventKind::TubeSaturatedOk:
      return say(Words::tr("GM管の飽和が解けました"));
    case EventKind::Alarm1:
      return say(Words::tr("第一段警報"));
    case EventKind::Alarm2:
      return say(Words::tr("第二段警報"));
    case EventKind::Alarm1Reset:
      return say(Words::tr("第一段警報を解除しました"));
    case EventKind::Alarm2Reset:
      return say(Words::tr("第二段警報を解除しました"));
    case EventKind::SignalOk:
      return say(Words::tr("%1が解消しました"), pick(kFaultNames, e.change.fault));
  }
  return {};
}

const EventWording& eventWording() {
  static const Wording wording;
  return wording;
}

std::string pendingKept(Pending what, size_t lines, const std::string& path,
                        const std::expected<void, WriteFault>& kept) {
  const bool events = what == Pending::Events;
  if (!kept)
    return say(events ? Words::tr("イベント %1 件を書き込めず、%2 にも保存できませんでした (%3)。")
                      : Words::tr("記録 %1 行を書き込めず、%2 にも保存できませんでした (%3)。"),
               lines, path, std::strerror(kept.error().error));
  return say(events ? Words::tr("書き込めなかったイベント %1 件を %2 "
                                "に保存しました。次の起動時にイベント記録へ書き込みます。")
                    : Words::tr("書き込めなかった記録 %1 行を %2 "
                                "に保存しました。次の起動時に日ファイルへ書き込みます。"),
             lines, path);
}

std::string pendingFlushed(const ReadResult<PendingFlush, RecordIssue>& read) {
  const PendingFlush& flush = read.value;
  QString text =
      filled(flush.what == Pending::Events
                 ? Words::tr("前回書き込めなかったイベント %1 件をイベント記録に書き込みました。")
                 : Words::tr("前回書き込めなかった記録 %1 行を日ファイルに書き込みました。"),
             flush.written);
  if (!read.clean())
    addSentence(text, filled(Words::tr("途中で切れた %1 行は記録として読めないため捨てました。"),
                             read.issues.size()));
  if (flush.left > 0)
    addSentence(text,
                filled(Words::tr("%1 行はまだ書き込めません (%2)。%3 に残しています。"), flush.left,
                       flush.fault ? std::strerror(flush.fault->error) : "", flush.path));
  return text.toStdString();
}

std::string lasting(Lasting what, bool began, const std::optional<Notice>& cause) {
  if (began && cause) return notice(*cause);  // a write fault: in the words of its first failure
  std::string path;
  if (cause)
    std::visit(
        [&](const auto& n) {
          if constexpr (requires { n.path; }) path = n.path;
        },
        *cause);
  static constexpr const char* kTexts[] = {
      QT_TRANSLATE_NOOP("Words",
                        "記録ファイルに再び書き込めます: %1。保持していた記録を書き込みました"),
      QT_TRANSLATE_NOOP(
          "Words", "イベント記録に再び書き込めます: %1。保持していたイベントを書き込みました")};
  static_assert(std::size(kTexts) == countOf(Lasting::EventsKept));
  return say(pick(kTexts, what), path);
}

}  // namespace radmon::messages
