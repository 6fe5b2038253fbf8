#include "outcome_text.h"

#include <QtGlobal>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <utility>

#include "host_keys.h"
#include "publish_settings.h"
#include "ui_translator.h"

namespace radmon::ftp {
namespace {

// `source` (marked for lupdate in the context "ftpscript") in the interface's language,
// with %1, %2, ... replaced by `args` in one pass: an argument that holds "%1" stays as
// it is.
std::string words(const char* source, std::initializer_list<std::string_view> args = {}) {
  const std::string pattern = uiText("ftpscript", source);
  std::string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    const size_t index = static_cast<size_t>(next - '1');
    if (pattern[i] == '%' && next >= '1' && next <= '9' && index < args.size()) {
      out += *(args.begin() + index);
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string certificateProblem(const TrustCheck& check) {
  static constexpr const char* kTexts[] = {
      QT_TRANSLATE_NOOP("ftpscript", "TLS の接続を確立できません"),
      QT_TRANSLATE_NOOP("ftpscript", "自己署名の証明書です"),
      QT_TRANSLATE_NOOP("ftpscript", "発行元が信頼されていない証明書です"),
      QT_TRANSLATE_NOOP("ftpscript", "証明書の有効期限が切れています"),
      QT_TRANSLATE_NOOP("ftpscript", "証明書の有効期間がまだ始まっていません"),
      QT_TRANSLATE_NOOP("ftpscript", "証明書が別のサーバ名に発行されています (接続先 %1)"),
      QT_TRANSLATE_NOOP("ftpscript", "証明書を検証できません: %1")};
  static_assert(std::size(kTexts) == std::to_underlying(CertificateProblem::Unusable) + 1);
  return words(kTexts[std::to_underlying(check.problem)],
               {check.problem == CertificateProblem::OtherName ? check.host : check.detail});
}

std::string addressProblem(AddressError error) {
  static constexpr const char* kTexts[] = {
      QT_TRANSLATE_NOOP("ftpscript", "サーバ名がありません"),
      QT_TRANSLATE_NOOP("ftpscript", "ポート番号が正しくありません (1〜65535)"),
      QT_TRANSLATE_NOOP("ftpscript", "使えるのは ftp://, ftps://, sftp:// だけです"),
      QT_TRANSLATE_NOOP("ftpscript", "サーバ名の書き方が正しくありません"),
      QT_TRANSLATE_NOOP("ftpscript", "サーバ名とポート番号のほかに余分な語があります")};
  static_assert(std::size(kTexts) == std::to_underlying(AddressError::TooManyWords) + 1);
  return words(kTexts[std::to_underlying(error)]);
}

std::string cause(const Outcome& o, const ServerAddress& address, const TrustCheck& check) {
  const std::string server = address.key();
  switch (o.failure) {
    case Failure::Resolve:
      return words(QT_TRANSLATE_NOOP("ftpscript",
                                     "サーバ名 %1 を引けません (名前解決の失敗)。"
                                     "サーバ名とネットワークを確かめてください"),
                   {address.host});
    case Failure::Refused:
      return words(
          QT_TRANSLATE_NOOP("ftpscript",
                            "接続を拒否されました (%1)。サーバ名とポート番号を確かめてください"),
          {server});
    case Failure::Unreachable:
      return words(QT_TRANSLATE_NOOP("ftpscript", "サーバに接続できません (%1)"), {server});
    case Failure::NoAnswer:
      return words(QT_TRANSLATE_NOOP("ftpscript", "サーバが応答しません (%1)"), {server});
    case Failure::Stalled:
      return words(QT_TRANSLATE_NOOP("ftpscript", "転送が止まったまま進みません (%1)"), {server});
    case Failure::TlsRefused:
      return words(QT_TRANSLATE_NOOP(
          "ftpscript", "TLS が必須ですが、サーバが TLS を断りました。パスワードは送っていません"));
    case Failure::TlsDropped:
      return words(QT_TRANSLATE_NOOP(
          "ftpscript",
          "以前は TLS で接続できたサーバが、暗号化を断りました。通信が改ざんされているおそれが"
          "あるため接続しません。パスワードは送っていません"));
    case Failure::Certificate: {
      std::string text =
          words(QT_TRANSLATE_NOOP("ftpscript",
                                  "サーバの証明書を信頼できません: %1。パスワードは送っていません。"
                                  "信頼するには、転送の詳細設定に証明書ファイルか下の指紋を登録し"
                                  "てください"),
                {certificateProblem(check)});
      if (!check.fingerprint.empty()) {
        text += '\n';
        text += words(QT_TRANSLATE_NOOP("ftpscript", "証明書の指紋 (SHA-256): %1"),
                      {shownFingerprint(check.fingerprint)});
      }
      return text;
    }
    case Failure::HostKey:
    case Failure::HostKeyNew: {
      const std::string server = knownHostName(address.host, address.port);
      std::string text =
          o.failure == Failure::HostKey
              ? words(QT_TRANSLATE_NOOP(
                          "ftpscript",
                          "SSH サーバの鍵が以前と違います (%1)。通信が改ざんされているおそれ"
                          "があるため接続しません。パスワードは送っていません。鍵を替えたのが"
                          "確かなら、下の指紋を転送の詳細設定 (dayplot_publish.ini) の "
                          "TrustedHostKeys に加えてください"),
                      {server})
              : words(QT_TRANSLATE_NOOP(
                          "ftpscript",
                          "SSH サーバの鍵を初めて受け取りました (%1)。指紋がサーバのものか確"
                          "かめてから信頼してください。パスワードは送っていません"),
                      {server});
      if (!check.hostKey.empty())
        text +=
            "\n" + words(QT_TRANSLATE_NOOP("ftpscript", "SSH ホスト鍵の指紋: %1"), {check.hostKey});
      return text;
    }
    case Failure::HostKeyRevoked: {
      std::string text =
          words(QT_TRANSLATE_NOOP(
                    "ftpscript",
                    "SSH サーバの鍵は dayplot_known_hosts で失効 (@revoked) とされています (%1)。"
                    "接続しません。パスワードは送っていません。サーバの管理者に新しい鍵"
                    "を確かめてください"),
                {knownHostName(address.host, address.port)});
      if (!check.hostKey.empty())
        text +=
            "\n" + words(QT_TRANSLATE_NOOP("ftpscript", "SSH ホスト鍵の指紋: %1"), {check.hostKey});
      return text;
    }
    case Failure::Login:
      return words(QT_TRANSLATE_NOOP("ftpscript", "ユーザ名かパスワードが違います"));
    case Failure::Folder:
      return words(QT_TRANSLATE_NOOP("ftpscript", "フォルダがないか、入る権限がありません"));
    case Failure::DiskFull:
      return words(
          QT_TRANSLATE_NOOP("ftpscript", "サーバの空き容量が足りないか、容量の上限に達しています"));
    case Failure::Refusal:
      return words(QT_TRANSLATE_NOOP("ftpscript", "サーバが書き込みを拒否しました"));
    case Failure::Rename:
      return words(QT_TRANSLATE_NOOP(
          "ftpscript", "サーバがファイル名の変更 (一時ファイルから本来の名前へ) を拒否しました"));
    case Failure::Broken:
      return words(QT_TRANSLATE_NOOP("ftpscript", "転送中に接続が切れました"));
    case Failure::LocalFile:
      return words(QT_TRANSLATE_NOOP("ftpscript", "ローカルファイルを読み書きできません: %1"),
                   {o.detail});
    default:
      break;
  }
  return words(QT_TRANSLATE_NOOP("ftpscript", "失敗しました"));
}

}  // namespace

namespace {

// Each failure's exit status and its name in the transfer lines; any other is kExitOther,
// "other".
struct FailureCode {
  Failure failure;
  int status;
  const char* cause;
};
constexpr FailureCode kFailureCodes[] = {
    {Failure::None, kExitOk, "none"},
    {Failure::Resolve, kExitResolve, "resolve"},
    {Failure::Refused, kExitConnection, "refused"},
    {Failure::Unreachable, kExitConnection, "unreachable"},
    {Failure::NoAnswer, kExitTimeOut, "no-answer"},
    {Failure::Stalled, kExitTimeOut, "stalled"},
    {Failure::TlsRefused, kExitTlsRefused, "tls-refused"},
    {Failure::TlsDropped, kExitTlsRefused, "tls-dropped"},
    {Failure::Certificate, kExitCertificate, "certificate"},
    {Failure::HostKey, kExitHostKey, "host-key"},
    {Failure::HostKeyNew, kExitHostKeyNew, "host-key-new"},
    {Failure::HostKeyRevoked, kExitHostKeyRevoked, "host-key-revoked"},
    {Failure::Login, kExitLogin, "login"},
    {Failure::Folder, kExitFolder, "folder"},
    {Failure::DiskFull, kExitDiskFull, "disk-full"},
    {Failure::Refusal, kExitRefused, "refusal"},
    {Failure::Rename, kExitRefused, "rename"},
    {Failure::Broken, kExitBroken, "broken"},
    {Failure::LocalFile, kExitOther, "local-file"},
};

FailureCode codeOf(Failure failure) {
  for (const FailureCode& code : kFailureCodes)
    if (code.failure == failure) return code;
  return {failure, kExitOther, "other"};
}

}  // namespace

int exitStatusFor(Failure failure) { return codeOf(failure).status; }

const char* causeName(Failure failure) { return codeOf(failure).cause; }

std::string transferLine(const TransferRecord& record) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%lld.%03lld",
                static_cast<long long>(record.milliseconds / 1000),
                static_cast<long long>(record.milliseconds % 1000));
  return std::string("transfer result=") + (record.ok ? "ok" : "failed") +
         " cause=" + causeName(record.failure) + " bytes=" + std::to_string(record.bytes) +
         " seconds=" + seconds + " retries=" + std::to_string(record.retries) +
         " direct=" + (record.direct ? "1" : "0") + " name=" + record.name;
}

std::string certificateLine(const std::string& fingerprint) {
  return "certificate sha256=" + fingerprint;
}

std::string hostKeyLine(const std::string& fingerprint) {
  return "host-key fingerprint=" + fingerprint;
}

std::string hostKeyKeptLine(const std::string& server, const std::string& fingerprint) {
  return "host-key-kept fingerprint=" + fingerprint + " server=" + server;
}

std::string failureText(const Outcome& outcome, const ServerAddress& address,
                        const TrustCheck& check) {
  std::string text = cause(outcome, address, check);
  if (!outcome.reply.empty()) {
    text += '\n';
    text += words(QT_TRANSLATE_NOOP("ftpscript", "サーバの応答: %1"), {outcome.reply});
  }
  if (outcome.failure != Failure::LocalFile && !outcome.detail.empty()) {
    text.append("\n(").append(outcome.detail).append(")");
  }
  return text;
}

std::string certificateFileText(CertificateFileFault fault, const std::string& path) {
  return fault == CertificateFileFault::Unopenable
             ? words(QT_TRANSLATE_NOOP("ftpscript", "信頼する証明書のファイルを開けません: %1"),
                     {path})
             : words(QT_TRANSLATE_NOOP("ftpscript",
                                       "信頼する証明書のファイルに証明書 (PEM) がありません: %1"),
                     {path});
}

std::string scriptIssueText(const LineIssue<ScriptIssue>& issue) {
  const std::string& s = issue.subject;
  if (issue.kind == ScriptIssue::BadServer)
    return std::string("open: ")
        .append(addressProblem(parseServerAddress(s).error()))
        .append(": ")
        .append(s);
  static constexpr const char* kTexts[] = {
      QT_TRANSLATE_NOOP("ftpscript", "引用符が閉じていません"),
      QT_TRANSLATE_NOOP("ftpscript", "不明なコマンド: %1"),
      QT_TRANSLATE_NOOP("ftpscript", "%1: 引数が足りません"),
      QT_TRANSLATE_NOOP("ftpscript", "%1: 引数が多すぎます"),
      QT_TRANSLATE_NOOP("ftpscript", "type: 不明な転送モード: %1"),
      nullptr,  // BadServer, above
      QT_TRANSLATE_NOOP("ftpscript", "%1: 次の行にユーザ名がありません"),
      QT_TRANSLATE_NOOP("ftpscript", "%1: パスワードの行がありません")};
  static_assert(std::size(kTexts) == std::to_underlying(ScriptIssue::NoPassword) + 1);
  return words(kTexts[std::to_underlying(issue.kind)], {s});
}

std::string settingsIssueText(const std::string& path, const LineIssue<SettingsIssue>& issue) {
  const std::string line = std::to_string(issue.line);
  switch (issue.kind) {
    case SettingsIssue::UnknownLine:
      return words(QT_TRANSLATE_NOOP("ftpscript", "%1 の %2 行目を読めないため無視します: %3"),
                   {path, line, issue.subject});
    case SettingsIssue::BadValue:
      return words(
          QT_TRANSLATE_NOOP("ftpscript", "%1 の %2 行目: %3 の値が正しくないため使いません"),
          {path, line, issue.subject});
    default:
      return words(QT_TRANSLATE_NOOP("ftpscript", "転送の詳細設定を読めません: %1"), {path});
  }
}

std::string argumentFaultText(const ArgumentRefusal& refusal) {
  std::string text = words(QT_TRANSLATE_NOOP("ftpscript", "スクリプトが指定されていません (-s:)"));
  if (refusal.fault == ArgumentFault::Unknown)
    text = words(QT_TRANSLATE_NOOP("ftpscript", "不明な引数: %1"), {refusal.argument});
  if (refusal.fault == ArgumentFault::BadStallSeconds)
    text = words(QT_TRANSLATE_NOOP("ftpscript", "-t: の秒数が正しくありません: %1"),
                 {refusal.argument});
  if (refusal.fault == ArgumentFault::BadLanguage)
    text = words(QT_TRANSLATE_NOOP("ftpscript", "--lang には ja か en を指定してください: %1"),
                 {refusal.argument});
  return text;
}

std::string progressText(Progress kind, const ProgressFacts& f) {
  const std::string n = std::to_string(f.number);
  const std::string crypt = f.encrypted ? words(QT_TRANSLATE_NOOP("ftpscript", "暗号化あり"))
                                        : words(QT_TRANSLATE_NOOP("ftpscript", "暗号化なし"));
  const std::string mode = f.text ? words(QT_TRANSLATE_NOOP("ftpscript", "アスキー"))
                                  : words(QT_TRANSLATE_NOOP("ftpscript", "バイナリ"));
  static constexpr const char* kTransportNames[] = {"FTP", "FTPS", "SFTP"};
  switch (kind) {
    case Progress::Connecting:
      return words(QT_TRANSLATE_NOOP("ftpscript", "接続: %1 %2"),
                   {kTransportNames[f.number], f.name});
    case Progress::LoggedIn:
      return words(QT_TRANSLATE_NOOP("ftpscript", "ログイン ... 成功 (%1)"), {crypt});
    case Progress::Mode:
      return words(QT_TRANSLATE_NOOP("ftpscript", "転送モード: %1"), {mode});
    case Progress::Folder:
      return words(QT_TRANSLATE_NOOP("ftpscript", "フォルダ: %1"), {f.name});
    case Progress::LocalFolder:
      return words(QT_TRANSLATE_NOOP("ftpscript", "ローカルフォルダ: %1"), {f.name});
    case Progress::Sending:
      return words(QT_TRANSLATE_NOOP("ftpscript", "転送: %1 -> %2"), {f.name, f.other});
    case Progress::Sent:
      return words(QT_TRANSLATE_NOOP("ftpscript", "転送: %1 ... 成功 (%2 バイト)"), {f.name, n});
    case Progress::Resent:
      return words(
          QT_TRANSLATE_NOOP("ftpscript", "転送: %1 ... 接続が切れたため送り直しました (%2 回)"),
          {f.name, n});
    case Progress::NoAtomicReplace:
      return words(
          QT_TRANSLATE_NOOP(
              "ftpscript",
              "注意: サーバ %1 はファイル名の変更を受け付けないため、一時ファイルを使わずに"
              "直接上書きします。上書きの間は書きかけのファイルが見えることがあります"),
          {f.name});
    case Progress::DeleteBeforeRename:
      return words(QT_TRANSLATE_NOOP(
                       "ftpscript",
                       "注意: SFTP サーバ %1 はファイルを一度で置き換える拡張 (posix-rename) "
                       "を持たないため、"
                       "古いファイルを名前の変更の直前に削除します。その間はファイルが見えません"),
                   {f.name});
    case Progress::OneStepFault:
      return words(
          QT_TRANSLATE_NOOP("ftpscript",
                            "注意: SFTP サーバ %1 でファイルを一度で置き換えられなかったため、"
                            "古いファイルを名前の変更の直前に削除しました (%2)"),
          {f.name, f.other});
    case Progress::Receiving:
      return words(QT_TRANSLATE_NOOP("ftpscript", "受信: %1 -> %2"), {f.name, f.other});
    case Progress::Received:
      return words(QT_TRANSLATE_NOOP("ftpscript", "受信: %1 ... 成功 (%2 バイト)"), {f.name, n});
    case Progress::CommandDone:
      return f.other.empty()
                 ? words(QT_TRANSLATE_NOOP("ftpscript", "%1 ... 成功"), {f.name})
                 : words(QT_TRANSLATE_NOOP("ftpscript", "%1 ... 成功: %2"), {f.name, f.other});
    case Progress::Disconnected:
      return words(QT_TRANSLATE_NOOP("ftpscript", "切断"));
    case Progress::Status:
      if (f.name.empty()) return words(QT_TRANSLATE_NOOP("ftpscript", "状態: 接続していません"));
      return f.loggedIn
                 ? words(QT_TRANSLATE_NOOP("ftpscript",
                                           "状態: %1 に接続, %2, フォルダ %3, 転送モード %4"),
                         {f.name, crypt, f.other, mode})
                 : words(QT_TRANSLATE_NOOP("ftpscript",
                                           "状態: %1 (未ログイン), %2, フォルダ %3, 転送モード %4"),
                         {f.name, crypt, f.other, mode});
    case Progress::Stopped:
      return words(QT_TRANSLATE_NOOP("ftpscript", "中止: 行 %1 以降は実行しません"), {n});
    case Progress::Finished:
      return words(QT_TRANSLATE_NOOP("ftpscript", "終了: 転送成功 %1 件, 失敗 %2 件"),
                   {n, std::to_string(f.failed)});
    case Progress::Failed:
      return words(QT_TRANSLATE_NOOP("ftpscript", "失敗: 行 %1 %2: %3"), {n, f.name, f.other});
    case Progress::NotConnected:
      return words(QT_TRANSLATE_NOOP("ftpscript", "接続していません"));
    case Progress::SftpNoQuote:
      return words(QT_TRANSLATE_NOOP("ftpscript", "SFTP の接続では FTP のコマンドを送れません"));
    case Progress::NoRemoteName:
      return words(QT_TRANSLATE_NOOP("ftpscript", "サーバ側のファイル名がありません"));
    case Progress::NoLocalFolder:
      return words(QT_TRANSLATE_NOOP("ftpscript", "ローカルフォルダがありません: %1"), {f.name});
    case Progress::NoMatch:
      return words(QT_TRANSLATE_NOOP("ftpscript", "該当するローカルファイルがありません: %1"),
                   {f.name});
    case Progress::NoLocalFile:
      return words(QT_TRANSLATE_NOOP("ftpscript", "ローカルファイルがありません: %1"), {f.name});
    case Progress::FileFault:
      return f.name + " ... " + f.other;
    case Progress::LoginStep:
      return words(QT_TRANSLATE_NOOP("ftpscript", "接続とログイン: %1"), {f.other});
    case Progress::FolderStep:
      return words(QT_TRANSLATE_NOOP("ftpscript", "フォルダ %1 への移動: %2"), {f.name, f.other});
    case Progress::SendStep:
      return words(QT_TRANSLATE_NOOP("ftpscript", "%1 の転送: %2"), {f.name, f.other});
    case Progress::ReceiveStep:
      return words(QT_TRANSLATE_NOOP("ftpscript", "%1 の受信: %2"), {f.name, f.other});
    case Progress::ListStep:
      return words(QT_TRANSLATE_NOOP("ftpscript", "一覧: %1"), {f.other});
    case Progress::CommandStep:
      return words(QT_TRANSLATE_NOOP("ftpscript", "サーバのコマンド: %1"), {f.other});
    case Progress::CommandStepGoesOn:
      return words(QT_TRANSLATE_NOOP("ftpscript", "サーバのコマンド (続行します): %1"), {f.other});
    case Progress::UnreadableScript:
      return words(QT_TRANSLATE_NOOP("ftpscript", "スクリプトを読めません: %1"), {f.name});
    case Progress::ScriptLine:
      return words(QT_TRANSLATE_NOOP("ftpscript", "%1: 行 %2: %3"), {f.name, n, f.other});
    case Progress::ScriptFaulty:
      return words(QT_TRANSLATE_NOOP("ftpscript", "スクリプトに誤りがあるため、何も転送しません"));
    case Progress::NoLibcurl:
      return words(QT_TRANSLATE_NOOP("ftpscript", "libcurl を初期化できません"));
    case Progress::HostKeyKept:
      return words(
          QT_TRANSLATE_NOOP("ftpscript",
                            "注意: SSH サーバ %1 の鍵を初めて受け取り、記録しました (指紋 %2)"),
          {f.name, f.other});
    case Progress::HostKeyReplaced:
      return words(
          QT_TRANSLATE_NOOP("ftpscript",
                            "注意: SSH サーバ %1 の鍵が替わりました。転送の詳細設定で信頼された"
                            "鍵 (指紋 %2) として記録しました"),
          {f.name, f.other});
    case Progress::HostKeyNotKept:
      return words(
          QT_TRANSLATE_NOOP(
              "ftpscript", "注意: SSH サーバ %1 の鍵 (指紋 %2) を受け入れましたが、記録できません"),
          {f.name, f.other});
  }
  return {};
}

}  // namespace radmon::ftp
