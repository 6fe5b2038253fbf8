// What each failure is called: the cause, what to do, and the server's whole reply.
#include "outcome_text.h"

#include <gtest/gtest.h>

namespace radmon::ftp {
namespace {

// Each cause worded, with its own exit status.
TEST(FailureText, EachCauseNamedWithTheWholeReply) {
  const ServerAddress server{Transport::Ftp, "ftp.example.com", 2121};
  TrustCheck check;
  check.host = "ftp.example.com";
  check.fingerprint = std::string(64, 'C');
  check.hostKey = "SHA256:k";
  struct Case {
    Failure failure;
    CertificateProblem problem;
    const char* says;
    int status = 0;  // ftpscript's exit status for it
  };
  const Case cases[] = {
      {Failure::Resolve, {}, "サーバ名 ftp.example.com を引けません", 4},
      {Failure::Refused, {}, "接続を拒否されました (ftp.example.com:2121)", 3},
      {Failure::Unreachable, {}, "サーバに接続できません", 3},
      {Failure::NoAnswer, {}, "サーバが応答しません", 11},
      {Failure::Stalled, {}, "転送が止まったまま進みません", 11},
      {Failure::TlsRefused, {}, "TLS が必須ですが、サーバが TLS を断りました", 13},
      {Failure::TlsDropped, {}, "改ざんされているおそれ", 13},
      {Failure::Certificate, CertificateProblem::SelfSigned, "自己署名の証明書です", 5},
      {Failure::Certificate, CertificateProblem::UnknownIssuer, "発行元が信頼されていない", 5},
      {Failure::Certificate, CertificateProblem::Expired, "有効期限が切れています", 5},
      {Failure::Certificate, CertificateProblem::NotYetValid, "有効期間がまだ始まっていません", 5},
      {Failure::Certificate, CertificateProblem::OtherName,
       "別のサーバ名に発行されています (接続先 ftp.example.com)", 5},
      {Failure::HostKey, {}, "SSH サーバの鍵が以前と違います ([ftp.example.com]:2121)", 6},
      {Failure::HostKeyNew,
       {},
       "SSH サーバの鍵を初めて受け取りました ([ftp.example.com]:2121)",
       14},
      {Failure::HostKeyRevoked, {}, "失効 (@revoked) とされています ([ftp.example.com]:2121)", 15},
      {Failure::Login, {}, "ユーザ名かパスワードが違います", 7},
      {Failure::Folder, {}, "フォルダがないか、入る権限がありません", 8},
      {Failure::DiskFull, {}, "空き容量が足りないか、容量の上限", 9},
      {Failure::Refusal, {}, "書き込みを拒否しました", 10},
      {Failure::Broken, {}, "転送中に接続が切れました", 12},
  };
  for (const Case& c : cases) {
    check.problem = c.problem;
    Outcome outcome{false, c.failure, "552-Quota exceeded\n552 of user station", "(curl 25)", 0};
    const std::string text = failureText(outcome, server, check);
    SCOPED_TRACE(text);
    EXPECT_EQ(exitStatusFor(c.failure), c.status);
    EXPECT_NE(text.find(c.says), std::string::npos);
    EXPECT_NE(text.find("サーバの応答: 552-Quota exceeded\n552 of user station"),
              std::string::npos);
    const bool certificate = c.failure == Failure::Certificate;
    EXPECT_EQ(text.find("証明書の指紋 (SHA-256): CC:CC:") != std::string::npos, certificate);
    const bool hostKey = c.failure == Failure::HostKey || c.failure == Failure::HostKeyNew ||
                         c.failure == Failure::HostKeyRevoked;
    EXPECT_EQ(text.find("\nSSH ホスト鍵の指紋: SHA256:k\n") != std::string::npos, hostKey);
    if (certificate || hostKey || c.failure == Failure::TlsRefused ||
        c.failure == Failure::TlsDropped) {
      EXPECT_NE(text.find("パスワードは送っていません"), std::string::npos);
    }
  }
}

// Each faulty script line read from a script, worded with what is wrong and where.
TEST(ScriptIssueText, EveryKindSaysWhatIsWrongAndNamesItsSubject) {
  const struct {
    const char* script;
    ScriptIssue kind;
    const char* says;
  } cases[] = {
      {"put \"a b\n", ScriptIssue::OpenQuote, "引用符が閉じていません"},
      {"mget x\n", ScriptIssue::UnknownCommand, "不明なコマンド: mget"},
      {"cd\n", ScriptIssue::TooFewArguments, "cd: 引数が足りません"},
      {"bin x\n", ScriptIssue::TooManyArguments, "bin: 引数が多すぎます"},
      {"type ebcdic\n", ScriptIssue::UnknownMode, "type: 不明な転送モード: ebcdic"},
      {"open h 0\nu\np\n", ScriptIssue::BadServer,
       "open: ポート番号が正しくありません (1〜65535): h 0"},
      {"open http://h\nu\np\n", ScriptIssue::BadServer,
       "open: 使えるのは ftp://, ftps://, sftp:// だけです: http://h"},
      {"open h\n\np\n", ScriptIssue::NoUser, "open: 次の行にユーザ名がありません"},
      {"user ann\n", ScriptIssue::NoPassword, "user: パスワードの行がありません"},
  };
  for (const auto& c : cases) {
    const auto script = parseFtpScript(c.script);
    ASSERT_EQ(script.issues.size(), 1u) << c.script;
    EXPECT_EQ(script.issues[0].kind, c.kind) << c.script;
    EXPECT_EQ(scriptIssueText(script.issues[0]), c.says);
  }
}

TEST(ProgressText, LinesTheRunnerAndDayplotReadAndSettingsIssues) {
  const struct {
    Progress kind;
    ProgressFacts facts;
    const char* says;
  } cases[] = {
      {Progress::Connecting, {.name = "h:990", .number = 1}, "接続: FTPS h:990"},
      {Progress::Status, {}, "状態: 接続していません"},
      {Progress::Status,
       {.name = "h:21", .other = "/a"},
       "状態: h:21 (未ログイン), 暗号化なし, フォルダ /a, 転送モード バイナリ"},
      {Progress::Status,
       {.name = "h:21", .other = "/", .encrypted = true, .text = true, .loggedIn = true},
       "状態: h:21 に接続, 暗号化あり, フォルダ /, 転送モード アスキー"},
      {Progress::CommandDone, {.name = "mkdir"}, "mkdir ... 成功"},
      {Progress::CommandDone, {.name = "quote", .other = "200 OK"}, "quote ... 成功: 200 OK"},
      {Progress::Failed,
       {.name = "cd", .other = "接続していません", .number = 4},
       "失敗: 行 4 cd: 接続していません"},
      {Progress::Stopped, {.number = 4}, "中止: 行 4 以降は実行しません"},
      {Progress::Finished, {.number = 2, .failed = 1}, "終了: 転送成功 2 件, 失敗 1 件"},
  };
  for (const auto& c : cases) EXPECT_EQ(progressText(c.kind, c.facts), c.says);
  const auto unknown = parseCommandLine({"-s:a", "host"});
  ASSERT_FALSE(unknown);
  EXPECT_EQ(unknown.error().fault, ArgumentFault::Unknown);
  EXPECT_EQ(argumentFaultText(unknown.error()), "不明な引数: host");
  // Settings issues name the file, the line and the setting.
  EXPECT_EQ(settingsIssueText("/s/p.ini", {3, SettingsIssue::BadValue, "RetryMinutes"}),
            "/s/p.ini の 3 行目: RetryMinutes の値が正しくないため使いません");
  EXPECT_EQ(settingsIssueText("/s/p.ini", {0, SettingsIssue::Unreadable, ""}),
            "転送の詳細設定を読めません: /s/p.ini");
}

}  // namespace
}  // namespace radmon::ftp
