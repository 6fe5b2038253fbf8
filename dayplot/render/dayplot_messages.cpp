#include "dayplot_messages.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

#include "ftpscript_status.h"
#include "ui_translator.h"

namespace radmon {

void StderrMessages::show(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
}

namespace say {
namespace {

QString q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The translated text with %1, %2... replaced in one pass, so a path holding "%2"
// stays as it is.
std::string words(const QString& text) { return text.toStdString(); }
template <typename... Parts>
std::string words(const QString& text, const Parts&... parts) {
  return text.arg(q(parts)...).toStdString();
}

// The fixed text for each value of an enum or number, in its order.
template <typename Index, size_t N>
std::string pick(const char* const (&texts)[N], Index value) {
  return words(dayplot::tr(texts[static_cast<size_t>(value)]));
}

QString faultName(EventKind kind) {
  static constexpr struct {
    EventKind kind;
    const char* name;
  } kNames[] = {{EventKind::DeviceLost, QT_TRANSLATE_NOOP("dayplot", "録音デバイスなし")},
                {EventKind::NoSignal, QT_TRANSLATE_NOOP("dayplot", "信号なし")},
                {EventKind::Hum, QT_TRANSLATE_NOOP("dayplot", "ハム・雑音")},
                {EventKind::Clipping, QT_TRANSLATE_NOOP("dayplot", "音の飽和")},
                {EventKind::Interference, QT_TRANSLATE_NOOP("dayplot", "電源からの雑音")},
                {EventKind::AfterPulses, QT_TRANSLATE_NOOP("dayplot", "アフターパルス")}};
  for (const auto& n : kNames)
    if (n.kind == kind) return dayplot::tr(n.name);
  return dayplot::tr("障害");
}

}  // namespace

std::string graphFailed(std::string_view detail) {
  return detail.empty() ? words(dayplot::tr("グラフを作成できませんでした"))
                        : words(dayplot::tr("グラフを作成できませんでした: %1"), detail);
}
std::string badScale() {
  return words(dayplot::tr("縦軸最大スケール(μSV/h)には0より大きい数値を入力してください"));
}
std::string noDayFile() { return words(dayplot::tr("ファイルがありません")); }
std::string skippedLines(std::string_view dayFile,
                         const std::vector<LineIssue<RecordIssue>>& lines) {
  return words(dayplot::tr("%1 の読めない %2 行を読み飛ばしました"), dayFile,
               std::to_string(lines.size()));
}
std::string faultPeriods(std::string_view day, const std::vector<FaultPeriod>& periods) {
  std::string list;
  for (const FaultPeriod& period : periods) {
    char span[32];
    std::snprintf(span, sizeof span, "%02d:%02d-%02d:%02d ", period.from / 3600,
                  period.from % 3600 / 60, period.to / 3600, period.to % 3600 / 60);
    if (!list.empty()) list += ", ";
    list += span + words(faultName(period.kind));
  }
  return words(dayplot::tr("%1 の音の障害 (グラフに薄い帯で表示): %2"), day, list);
}
std::string imageNotWritten(bool jpeg, std::string_view path, std::string_view reason) {
  const std::string how = reason.empty() ? std::string() : " (" + std::string(reason) + ")";
  return jpeg ? words(dayplot::tr("JPEGファイルを書き込めません: %1%2"), path, how)
              : words(dayplot::tr("BMPファイルを書き込めません: %1%2"), path, how);
}
std::string noPeriodFile() { return words(dayplot::tr("この期間の記録ファイルがありません")); }
std::string badMonthArgument(std::string_view text) {
  return words(dayplot::tr("月はyyyymmの6桁で指定してください: %1"), text);
}
std::string badYearArgument(std::string_view text) {
  return words(dayplot::tr("年はyyyyの4桁で指定してください: %1"), text);
}
std::string processingPeriod(std::string_view period) {
  return words(dayplot::tr("%1 のグラフを作成します"), period);
}
std::string newStationPlace() {
  return uiLanguage() == UiLanguage::English ? std::string() : std::string("大阪府大阪市");
}
std::string newStationTube() { return uiText("dayplot", QT_TRANSLATE_NOOP("dayplot", "自作GM管")); }
std::string periodLegend(int which) {
  static constexpr const char* kTexts[] = {QT_TRANSLATE_NOOP("dayplot", "日の最小～最大"),
                                           QT_TRANSLATE_NOOP("dayplot", "日平均"),
                                           QT_TRANSLATE_NOOP("dayplot", "異常のあった日"),
                                           QT_TRANSLATE_NOOP("dayplot", "記録が23時間未満の日")};
  return pick(kTexts, which >= 0 && which < 3 ? which : 3);
}
std::string daysWithFile(int present, int days) {
  return words(dayplot::tr("記録のある日: %1 / %2"), std::to_string(present), std::to_string(days));
}
std::string meanInterval(std::string_view lower, std::string_view upper) {
  return words(dayplot::tr("(95%: %1～%2)"), lower, upper);
}
std::string meanBelowBackground() { return words(dayplot::tr("(バックグラウンド以下)")); }
std::string settingsIssue(std::string_view path, const LineIssue<SettingsIssue>& issue) {
  // The line's own text or its setting's name finds it in the file.
  switch (issue.kind) {
    case SettingsIssue::UnknownLine:
      return words(dayplot::tr("設定ファイル %1 の読めない行を無視しました: %2"), path,
                   issue.subject);
    case SettingsIssue::BadValue:
      return words(dayplot::tr("設定ファイル %1 の %2 の値が正しくないため使いません"), path,
                   issue.subject);
    default:
      return words(dayplot::tr("設定ファイルを読めません: %1"), path);
  }
}
std::string fileNotWritten(std::string_view path, const WriteFault& fault) {
  return words(dayplot::tr("ファイルに書き込めません: %1 (%2)"), path, std::strerror(fault.error));
}
std::string scriptNotWritten(std::string_view path, const WriteFault& fault) {
  return words(dayplot::tr("FTP転送を行えません。スクリプトファイルを書き込めませんでした。\n%1"),
               fileNotWritten(path, fault));
}
std::string pageNotWritten(std::string_view path, std::string_view reason) {
  return words(dayplot::tr("観測局のページを書き込めず、送りません: %1 (%2)"), path, reason);
}
std::string uploadNotStarted(std::string_view detail) {
  return words(dayplot::tr("FTP転送を開始できません: %1"), detail);
}
std::string clientNotStarted(std::string_view program, int error) {
  return words(dayplot::tr("FTPクライアントを起動できません: %1 (%2)"), program,
               std::strerror(error));
}
std::string badDayArgument(std::string_view text) {
  return words(dayplot::tr("日付はyyyymmddの8桁で指定してください: %1"), text);
}
std::string processingFailed(std::string_view detail) {
  return words(dayplot::tr("処理中にエラーが発生しました: %1"), detail);
}
std::string nothingScheduled(std::string_view settingsFile) {
  return words(
      dayplot::tr(
          "当日データリアルタイム処理も昨日分自動処理も選ばれていないため、何も処理しません (%1)"),
      settingsFile);
}
std::string started(int todayPeriod, bool yesterday, std::string_view hour, std::string_view minute,
                    bool upload, std::string_view dataFolder) {
  std::string plan = todayPeriod > 0
                         ? words(dayplot::tr("当日分を%1分毎に処理"), std::to_string(todayPeriod))
                         : "";
  if (yesterday) {
    plan += (plan.empty() ? "" : words(dayplot::tr("、"))) +
            words(dayplot::tr("昨日分を%1時%2分に処理"), hour, minute);
  }
  return words(dayplot::tr("開始しました: %1%2。データフォルダ: %3"), plan,
               upload ? words(dayplot::tr("、FTP転送あり")) : "", dataFolder);
}
std::string processingDay(bool today, std::string_view day) {
  return today ? words(dayplot::tr("当日分 %1 を処理します"), day)
               : words(dayplot::tr("昨日分 %1 を処理します"), day);
}
std::string scriptNotRemoved(std::string_view reason) {
  return words(dayplot::tr("FTPスクリプトファイルを削除できません: %1"), reason);
}
std::string finished() { return words(dayplot::tr("終了しました")); }
std::string uploadOutcome(bool succeeded, std::string_view file, std::string_view reason,
                          std::string_view retryAt) {
  if (succeeded && reason.empty()) return words(dayplot::tr("FTP転送成功: %1"), file);
  // A success with a word from the client: a server that cannot replace the graph in
  // one step, told on the upload that found it out.
  if (succeeded) return words(dayplot::tr("FTP転送成功: %1 (%2)"), file, reason);
  std::string text = words(dayplot::tr("FTP転送失敗: %1 (%2)"), file, reason);
  if (!retryAt.empty()) text += words(dayplot::tr(" %1 に再送します"), retryAt);
  return text;
}
std::string keptInQueue(std::string_view retryAt) {
  return words(dayplot::tr("送信待ちに残しました。%1 以降の dayplot の実行で送ります"), retryAt);
}
std::string clientReason(int exitStatus, std::string_view said) {
  std::string text = exitStatus < 0 ? words(dayplot::tr("FTPクライアントが異常終了しました"))
                                    : words(dayplot::tr("FTPクライアントの終了コード %1"),
                                            std::to_string(exitStatus));
  if (!said.empty()) text += words(dayplot::tr(": %1"), said);
  return text;
}
std::string ftpscriptCause(int exitStatus) {
  // From ftp::kExitScriptFaulty on, one for each exit status.
  static constexpr const char* kTexts[] = {
      QT_TRANSLATE_NOOP("dayplot", "FTPスクリプトに誤りがあります"),
      QT_TRANSLATE_NOOP("dayplot", "サーバに接続できません"),
      QT_TRANSLATE_NOOP("dayplot", "サーバ名を引けません (名前解決の失敗)"),
      QT_TRANSLATE_NOOP("dayplot", "サーバの証明書を信頼できません"),
      QT_TRANSLATE_NOOP("dayplot", "SSH サーバの鍵を確かめられません"),
      QT_TRANSLATE_NOOP("dayplot", "ログインを拒否されました (ユーザ名かパスワード)"),
      QT_TRANSLATE_NOOP("dayplot", "サーバのフォルダがないか、入る権限がありません"),
      QT_TRANSLATE_NOOP("dayplot", "サーバの空き容量が足りないか、容量の上限に達しています"),
      QT_TRANSLATE_NOOP("dayplot", "サーバが書き込みかコマンドを拒否しました"),
      QT_TRANSLATE_NOOP("dayplot", "サーバが応答しないか、転送が止まりました"),
      QT_TRANSLATE_NOOP("dayplot", "転送中に接続が切れました (送り直しても同じでした)"),
      QT_TRANSLATE_NOOP("dayplot", "サーバが TLS (暗号化) を断りました"),
      QT_TRANSLATE_NOOP(
          "dayplot", "SSH サーバの鍵を初めて受け取りました。指紋がサーバのものか確かめてください"),
      QT_TRANSLATE_NOOP("dayplot",
                        "SSH サーバの鍵は失効済みとされています (known_hosts の @revoked)")};
  static_assert(std::size(kTexts) == ftp::kExitHostKeyRevoked - ftp::kExitScriptFaulty + 1);
  const int i = exitStatus - ftp::kExitScriptFaulty;
  return i >= 0 && i < int(std::size(kTexts)) ? pick(kTexts, i) : std::string();
}
std::string hostKeyToTrust(std::string_view fingerprint) {
  return words(
      dayplot::tr(" (指紋 %1。鍵を替えたのが確かなら dayplot_publish.ini の TrustedHostKeys "
                  "に加えてください)"),
      fingerprint);
}
std::string hostKeyKept(std::string_view server, std::string_view fingerprint) {
  return words(
      dayplot::tr("SSH サーバ %1 の鍵を初めて受け取り、記録しました (指紋 %2)。サーバの鍵の"
                  "指紋と同じか確かめてください"),
      server, fingerprint);
}
std::string uploadFileUnreadable() {
  return words(dayplot::tr("送るファイルがないか、読めません"));
}
std::string storedDirectly() {
  return words(dayplot::tr(
      "サーバがファイル名の変更を受け付けないため、直接上書きしました。上書きの間は書きかけの"
      "ファイルが見えることがあります"));
}
std::string clientTimedOut() {
  return words(dayplot::tr("FTPクライアントが時間内に終わらなかったため中止しました"));
}
std::string clientOutput(std::string_view output) {
  return words(dayplot::tr("FTPクライアントの出力:\n%1"), output);
}
std::string uploadStopped() { return words(dayplot::tr("終了の指示により中止しました")); }
std::string serverBoxUnusable(AddressError why, std::string_view text) {
  static constexpr const char* kFaults[] = {
      QT_TRANSLATE_NOOP("dayplot", "サーバ名が入っていません"),
      QT_TRANSLATE_NOOP("dayplot", "ポート番号は 1〜65535 の数で書いてください"),
      QT_TRANSLATE_NOOP("dayplot", "使えるのは ftp://, ftps://, sftp:// だけです"),
      QT_TRANSLATE_NOOP("dayplot", "サーバ名の書き方が正しくありません"),
      QT_TRANSLATE_NOOP("dayplot", "サーバ名とポート番号のほかに余分な語があります")};
  static_assert(std::size(kFaults) == std::to_underlying(AddressError::TooManyWords) + 1);
  return words(
      dayplot::tr(
          "FTP転送を行えません。サーバ名の欄「%1」: %2。\n書き方: host, host 2121, host:2121, "
          "[::1]:2121, ftp://host, ftps://host, sftp://host"),
      text, pick(kFaults, why));
}
std::string startTimeNeverMatches(std::string_view hour, std::string_view minute) {
  return words(
      dayplot::tr("昨日分自動処理の時刻「%1時%2分」は時・分とも2桁 (例: 03) で入れてください。"
                  "このままでは昨日分は処理されません"),
      hour, minute);
}
std::string yesterdayNotSent(std::string_view day) {
  return words(dayplot::tr("昨日分 %1 のグラフはまだ転送されていません"), day);
}
std::string queueNotWritten(std::string_view reason) {
  return words(dayplot::tr("再送の控えを書き込めません: %1"), reason);
}
std::string queueWrittenAgain() {
  return words(dayplot::tr("再送の控えをまた書き込めるようになりました"));
}
std::string settingsFileUnreadable(std::string_view path) {
  return words(dayplot::tr("設定ファイルを読めないため、初期設定で動きます: %1"), path);
}
std::string lockRefused(std::string_view path, const LockFile::Refusal& refusal) {
  if (refusal.inUse)
    return words(dayplot::tr("dayplot はこの測定局で既に動いています (%1 を使用中)。"
                             "サービスとして動いている場合は systemctl --user stop dayplot "
                             "で止められます。"),
                 path);
  return words(dayplot::tr("ロックファイル %1 を開けません (%2)"), path,
               std::string_view(std::strerror(refusal.error)));
}
std::string certificateQuestion(std::string_view failure, std::string_view fingerprint) {
  return words(dayplot::tr("%1\n\nこの証明書を信頼しますか?\n指紋 (SHA-256):\n%2"), failure,
               fingerprint);
}
std::string trustNotSaved(std::string_view reason) {
  return words(dayplot::tr("証明書を信頼する設定を保存できません。\n%1"), reason);
}
std::string hostKeyQuestion(std::string_view failure, std::string_view fingerprint) {
  return words(dayplot::tr("%1\n\nこの SSH ホスト鍵を信頼しますか?\n指紋:\n%2"), failure,
               fingerprint);
}
std::string hostKeyTrustNotSaved(std::string_view reason) {
  return words(dayplot::tr("SSH ホスト鍵を信頼する設定を保存できません。\n%1"), reason);
}
std::string badFingerprint(std::string_view text) {
  return words(dayplot::tr("指紋は SHA-256 の16進64桁 (コロン区切り可) で書いてください: %1"),
               text);
}
std::string badHostKeyFingerprint(std::string_view text) {
  return words(
      dayplot::tr("SSH ホスト鍵の指紋は ssh-keygen -l が示す SHA256:… の形で書いてください: %1"),
      text);
}
std::string publishSettingsNotSaved(std::string_view reason) {
  return words(dayplot::tr("転送の詳細設定を保存できません。\n%1"), reason);
}

}  // namespace say
}  // namespace radmon
