#include "outcome_text.h"

#include <iterator>

#include "host_keys.h"
#include "publish_settings.h"

namespace radmon::ftp {
namespace {

std::string certificateProblem(const TrustCheck& check) {
  static constexpr const char* kTexts[] = {
      "TLS の接続を確立できません", "自己署名の証明書です", "発行元が信頼されていない証明書です",
      "証明書の有効期限が切れています", "証明書の有効期間がまだ始まっていません"};
  static_assert(std::size(kTexts) == static_cast<size_t>(CertificateProblem::OtherName));
  if (check.problem == CertificateProblem::OtherName)
    return "証明書が別のサーバ名に発行されています (接続先 " + check.host + ")";
  if (check.problem == CertificateProblem::Unusable)
    return "証明書を検証できません: " + check.detail;
  return kTexts[static_cast<int>(check.problem)];
}

std::string addressProblem(AddressError error) {
  static constexpr const char* kTexts[] = {
      "サーバ名がありません", "ポート番号が正しくありません (1〜65535)",
      "使えるのは ftp://, ftps://, sftp:// だけです", "サーバ名の書き方が正しくありません",
      "サーバ名とポート番号のほかに余分な語があります"};
  static_assert(std::size(kTexts) == static_cast<size_t>(AddressError::TooManyWords) + 1);
  return kTexts[static_cast<int>(error)];
}

std::string cause(const Outcome& o, const ServerAddress& address, const TrustCheck& check) {
  const std::string server = address.key();
  switch (o.failure) {
    case Failure::Resolve:
      return "サーバ名 " + address.host +
             " を引けません (名前解決の失敗)。サーバ名とネットワークを確かめてください";
    case Failure::Refused:
      return "接続を拒否されました (" + server + ")。サーバ名とポート番号を確かめてください";
    case Failure::Unreachable:
      return "サーバに接続できません (" + server + ")";
    case Failure::NoAnswer:
      return "サーバが応答しません (" + server + ")";
    case Failure::Stalled:
      return "転送が止まったまま進みません (" + server + ")";
    case Failure::TlsRefused:
      return "TLS が必須ですが、サーバが TLS を断りました。パスワードは送っていません";
    case Failure::TlsDropped:
      return "以前は TLS で接続できたサーバが、暗号化を断りました。通信が改ざんされている"
             "おそれがあるため接続しません。パスワードは送っていません";
    case Failure::Certificate: {
      std::string text = "サーバの証明書を信頼できません: " + certificateProblem(check) +
                         "。パスワードは送っていません。信頼するには、転送の詳細設定に証明書"
                         "ファイルか下の指紋を登録してください";
      if (!check.fingerprint.empty()) {
        text += "\n" + std::string(kFingerprintLead) + shownFingerprint(check.fingerprint);
      }
      return text;
    }
    case Failure::HostKey: {
      std::string text = "SSH サーバの鍵が以前と違います (" +
                         knownHostName(address.host, address.port) +
                         ")。通信が改ざんされているおそれがあるため接続しません。パスワードは"
                         "送っていません。鍵を替えたのが確かなら、下の指紋を転送の詳細設定 "
                         "(dayplot_publish.ini) の TrustedHostKeys に加えてください";
      if (!check.hostKey.empty()) text += "\n" + std::string(kHostKeyLead) + check.hostKey;
      return text;
    }
    case Failure::HostKeyNew: {
      std::string text = "SSH サーバの鍵を初めて受け取りました (" +
                         knownHostName(address.host, address.port) +
                         ")。指紋がサーバのものか確かめてから信頼してください。パスワードは"
                         "送っていません";
      if (!check.hostKey.empty()) text += "\n" + std::string(kHostKeyLead) + check.hostKey;
      return text;
    }
    case Failure::Login:
      return "ユーザ名かパスワードが違います";
    case Failure::Folder:
      return "フォルダがないか、入る権限がありません";
    case Failure::DiskFull:
      return "サーバの空き容量が足りないか、容量の上限に達しています";
    case Failure::Refusal:
      return "サーバが書き込みを拒否しました";
    case Failure::Rename:
      return "サーバがファイル名の変更 (一時ファイルから本来の名前へ) を拒否しました";
    case Failure::Broken:
      return "転送中に接続が切れました";
    case Failure::LocalFile:
      return "ローカルファイルを読み書きできません: " + o.detail;
    case Failure::Other:
    case Failure::None:
      break;
  }
  return "失敗しました";
}

}  // namespace

std::string failureText(const Outcome& outcome, const ServerAddress& address,
                        const TrustCheck& check) {
  std::string text = cause(outcome, address, check);
  if (!outcome.reply.empty()) text += "\nサーバの応答: " + outcome.reply;
  if (outcome.failure != Failure::LocalFile && !outcome.detail.empty()) {
    text += "\n(" + outcome.detail + ")";
  }
  return text;
}

std::string certificateFileText(CertificateFileFault fault, const std::string& path) {
  return (fault == CertificateFileFault::Unopenable
              ? "信頼する証明書のファイルを開けません: "
              : "信頼する証明書のファイルに証明書 (PEM) がありません: ") +
         path;
}

std::string scriptIssueText(const LineIssue<ScriptIssue>& issue) {
  const std::string& s = issue.subject;
  switch (issue.kind) {
    case ScriptIssue::OpenQuote:
      return "引用符が閉じていません";
    case ScriptIssue::UnknownCommand:
      return "不明なコマンド: " + s;
    case ScriptIssue::TooFewArguments:
      return s + ": 引数が足りません";
    case ScriptIssue::TooManyArguments:
      return s + ": 引数が多すぎます";
    case ScriptIssue::UnknownMode:
      return "type: 不明な転送モード: " + s;
    case ScriptIssue::BadServer:
      return "open: " + addressProblem(parseServerAddress(s).error) + ": " + s;
    case ScriptIssue::NoUser:
      return s + ": 次の行にユーザ名がありません";
    case ScriptIssue::NoPassword:
      return s + ": パスワードの行がありません";
  }
  return s;
}

std::string settingsIssueText(const std::string& path, const LineIssue<SettingsIssue>& issue) {
  const std::string where = path + " の " + std::to_string(issue.line) + " 行目";
  switch (issue.kind) {
    case SettingsIssue::UnknownLine:
      return where + "を読めないため無視します: " + issue.subject;
    case SettingsIssue::BadValue:
      return where + ": " + issue.subject + " の値が正しくないため使いません";
    default:
      return "転送の詳細設定を読めません: " + path;
  }
}

std::string argumentFaultText(const CommandLineResult& result) {
  std::string text = "スクリプトが指定されていません (-s:)";
  if (result.fault == ArgumentFault::Unknown) text = "不明な引数: " + result.argument;
  if (result.fault == ArgumentFault::BadStallSeconds)
    text = "-t: の秒数が正しくありません: " + result.argument;
  return text +
         "\n使い方: ftpscript [-i] [-v] [-d] [-n] [-k] [-t:秒] [-p:設定ファイル] "
         "-s:\"スクリプトのパス\"";
}

std::string progressText(Progress kind, const ProgressFacts& f) {
  const std::string n = std::to_string(f.number);
  const char* crypt = f.encrypted ? "暗号化あり" : "暗号化なし";
  const char* mode = f.text ? "アスキー" : "バイナリ";
  static constexpr const char* kTransportNames[] = {"FTP", "FTPS", "SFTP"};
  switch (kind) {
    case Progress::Connecting:
      return "接続: " + std::string(kTransportNames[f.number]) + " " + f.name;
    case Progress::LoggedIn:
      return "ログイン ... 成功 (" + std::string(crypt) + ")";
    case Progress::Mode:
      return "転送モード: " + std::string(mode);
    case Progress::Folder:
      return "フォルダ: " + f.name;
    case Progress::LocalFolder:
      return "ローカルフォルダ: " + f.name;
    case Progress::Sending:
      return "転送: " + f.name + " -> " + f.other;
    case Progress::Sent:
      return "転送: " + f.name + " ... 成功 (" + n + " バイト)";
    case Progress::Resent:
      return "転送: " + f.name + " ... 接続が切れたため送り直しました (" + n + " 回)";
    case Progress::NoAtomicReplace:
      return "注意: サーバ " + f.name +
             " はファイル名の変更を受け付けないため、一時ファイルを使わずに直接上書きします。"
             "上書きの間は書きかけのファイルが見えることがあります";
    case Progress::Receiving:
      return "受信: " + f.name + " -> " + f.other;
    case Progress::Received:
      return "受信: " + f.name + " ... 成功 (" + n + " バイト)";
    case Progress::CommandDone:
      return f.name + " ... 成功" + (f.other.empty() ? "" : ": " + f.other);
    case Progress::Disconnected:
      return "切断";
    case Progress::Status:
      if (f.name.empty()) return "状態: 接続していません";
      return "状態: " + f.name + (f.loggedIn ? " に接続, " : " (未ログイン), ") + crypt +
             ", フォルダ " + f.other + ", 転送モード " + mode;
    case Progress::Stopped:
      return "中止: 行 " + n + " 以降は実行しません";
    case Progress::Finished:
      return "終了: 転送成功 " + n + " 件, 失敗 " + std::to_string(f.failed) + " 件";
    case Progress::Failed:
      return "失敗: 行 " + n + " " + f.name + ": " + f.other;
    case Progress::NotConnected:
      return "接続していません";
    case Progress::SftpNoQuote:
      return "SFTP の接続では FTP のコマンドを送れません";
    case Progress::NoRemoteName:
      return "サーバ側のファイル名がありません";
    case Progress::NoLocalFolder:
      return "ローカルフォルダがありません: " + f.name;
    case Progress::NoMatch:
      return "該当するローカルファイルがありません: " + f.name;
    case Progress::NoLocalFile:
      return "ローカルファイルがありません: " + f.name;
    case Progress::FileFault:
      return f.name + " ... " + f.other;
    case Progress::LoginStep:
      return "接続とログイン: " + f.other;
    case Progress::FolderStep:
      return "フォルダ " + f.name + " への移動: " + f.other;
    case Progress::SendStep:
      return f.name + " の転送: " + f.other;
    case Progress::ReceiveStep:
      return f.name + " の受信: " + f.other;
    case Progress::ListStep:
      return "一覧: " + f.other;
    case Progress::CommandStep:
      return "サーバのコマンド: " + f.other;
    case Progress::CommandStepGoesOn:
      return "サーバのコマンド (続行します): " + f.other;
    case Progress::UnreadableScript:
      return "スクリプトを読めません: " + f.name;
    case Progress::ScriptLine:
      return f.name + ": 行 " + n + ": " + f.other;
    case Progress::ScriptFaulty:
      return "スクリプトに誤りがあるため、何も転送しません";
    case Progress::NoLibcurl:
      return "libcurl を初期化できません";
    case Progress::HostKeyKept:
      return "注意: SSH サーバ " + f.name + " の鍵を初めて受け取り、記録しました (指紋 " + f.other +
             ")";
    case Progress::HostKeyReplaced:
      return "注意: SSH サーバ " + f.name +
             " の鍵が替わりました。転送の詳細設定で信頼された鍵 (指紋 " + f.other +
             ") として記録しました";
    case Progress::HostKeyNotKept:
      return "注意: SSH サーバ " + f.name + " の鍵 (指紋 " + f.other +
             ") を受け入れましたが、記録できません";
  }
  return {};
}

}  // namespace radmon::ftp
