// What a step with the server came to, as plain facts with no network behind them, and
// the operator's sentences for it: the cause first, then what to do, then the server's
// whole reply; and what is wrong in the script or the settings. One place for all of
// ftpscript's texts, progress lines too, so that dayplot can show them as they stand.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "command_line.h"
#include "ftp_script.h"
#include "ftpscript_status.h"
#include "read_result.h"
#include "server_address.h"

namespace radmon::ftp {

enum class Failure {
  None,
  Resolve,      // the server's name does not resolve
  Refused,      // nothing listens on that port
  Unreachable,  // no route, or the connection could not be made for another reason
  NoAnswer,     // connected, but the server said nothing in time
  Stalled,      // the transfer stopped moving
  TlsRefused,   // TLS required (setting or ftps://), the server refused it
  TlsDropped,   // the server offered TLS before and refuses it now: maybe tampered with
  Certificate,  // the server's certificate failed the check
  HostKey,      // the SSH server's key differs from the one seen before
  Login,        // user name or password refused
  Folder,       // the folder does not exist or may not be entered
  DiskFull,     // the server is out of space or over its quota
  Refusal,      // the server refused the write or the command
  Rename,       // the server refused to rename the complete temporary over the file
  Broken,       // the connection broke during the transfer
  LocalFile,    // the local file cannot be read
  Other,
  HostKeyNew,      // -k: the SSH server's key is seen for the first time, for the caller to ask
  HostKeyRevoked,  // the SSH server's key is marked revoked in the known-hosts file
};

struct Outcome {
  bool ok = false;
  Failure failure = Failure::None;
  std::string reply;             // the server's whole last reply (all lines of a multi-line one)
  std::string detail;            // libcurl's own words, or what is wrong with a certificate
  int64_t bytes = 0;             // uploads: bytes sent
  bool commandRefused = false;   // a command after the transfer (the rename) was refused
  int retries = 0;               // uploads: broken transfers sent again
  bool learnedNoRename = false;  // uploads: the server refused to rename, now remembered
  bool direct = false;           // uploads: stored under its own name, with no temporary
  // SFTP uploads: the server offers no one-step replace, found out now (it is said once);
  // the old file was deleted just before the rename.
  bool learnedDeleteFirst = false;
  // SFTP uploads: why the one-step replace could not be made (the old file was then
  // deleted just before the rename); empty: it was made, or the server has none.
  std::string oneStepFault{};
};

int exitStatusFor(Failure failure);
// The cause in the transfer lines: "login", "disk-full", ...
const char* causeName(Failure failure);

// One transfer as the machine-readable line on stdout that dayplot reads:
// "transfer result=ok|failed cause=NAME bytes=N seconds=S.mmm retries=N direct=0|1
// name=NAME" (the name last, to the end of the line).
struct TransferRecord {
  std::string name;
  bool ok = false;
  Failure failure = Failure::None;
  int64_t bytes = 0;
  int64_t milliseconds = 0;
  int retries = 0;
  bool direct = false;  // stored under its own name, with no temporary
};
std::string transferLine(const TransferRecord& record);
// A refused certificate, for dayplot's question: "certificate sha256=HEX".
std::string certificateLine(const std::string& fingerprint);
// A refused SSH host key, for dayplot's question: "host-key fingerprint=SHA256:…".
std::string hostKeyLine(const std::string& fingerprint);
// An SSH host key seen first and kept unasked, for dayplot to tell:
// "host-key-kept fingerprint=SHA256:… server=NAME" (the server last).
std::string hostKeyKeptLine(const std::string& server, const std::string& fingerprint);

enum class CertificateProblem {
  None,
  SelfSigned,     // no issuer the store knows: self-signed or a private authority
  UnknownIssuer,  // the chain ends at an issuer outside the store
  Expired,
  NotYetValid,
  OtherName,  // valid, but issued for another name than the server's
  Unusable,   // anything else OpenSSL finds wrong with it
};

struct TrustCheck {
  std::string host;               // the name the server was reached by
  std::set<std::string> trusted;  // fingerprints, 64 upper-case hex digits
  // Filled in by the handshake:
  std::string fingerprint;  // of the server's own certificate
  CertificateProblem problem = CertificateProblem::None;
  std::string detail;   // OpenSSL's words, for "anything else"
  std::string hostKey;  // SFTP: the fingerprint of a refused SSH host key, "SHA256:…"
};

enum class CertificateFileFault { None, Unopenable, NoCertificate };

// What went wrong, e.g. "接続を拒否されました (127.0.0.1:2121)。サーバが動いているか…".
// `check` is the certificate of the handshake, for certificate failures.
std::string failureText(const Outcome& outcome, const ServerAddress& address,
                        const TrustCheck& check);

// Why the trusted certificate file `path` is not used.
std::string certificateFileText(CertificateFileFault fault, const std::string& path);

// A faulty line of the script, e.g. "open: ポート番号が正しくありません (1〜65535): h 0".
std::string scriptIssueText(const LineIssue<ScriptIssue>& issue);
// A line of the publishing settings `path` that is not used.
std::string settingsIssueText(const std::string& path, const LineIssue<SettingsIssue>& issue);
// What is wrong with the command line (the usage follows it from the declared options).
std::string argumentFaultText(const ArgumentRefusal& refusal);

// What ftpscript tells the operator as the script runs. The runner's steps: whole lines,
// then why a step failed (after "失敗: 行 N WORD: "), then the step a server failure ends.
enum class Progress {
  Connecting,
  LoggedIn,
  Mode,
  Folder,
  LocalFolder,
  Sending,
  Sent,
  Resent,
  NoAtomicReplace,
  DeleteBeforeRename,  // `name` the server
  OneStepFault,        // `name` the server, `other` why
  Receiving,
  Received,
  CommandDone,
  Disconnected,
  Status,
  Stopped,
  Finished,
  Failed,
  NotConnected,
  SftpNoQuote,
  NoRemoteName,
  NoLocalFolder,
  NoMatch,
  NoLocalFile,
  FileFault,
  LoginStep,
  FolderStep,
  SendStep,
  ReceiveStep,
  ListStep,
  CommandStep,
  CommandStepGoesOn,
  UnreadableScript,
  ScriptLine,
  ScriptFaulty,
  NoLibcurl,  // main's, before the run
  // An SSH host key seen first and kept, or changed and kept as the settings trust it,
  // or accepted but not kept: `name` the server, `other` the fingerprint.
  HostKeyKept,
  HostKeyReplaced,
  HostKeyNotKept,
};
struct ProgressFacts {
  std::string name{};   // the file, folder, server, command word or script it is about
  std::string other{};  // where a file goes, the server's reply, why it failed
  int64_t number = 0;   // a line number, bytes, transfers done; Connecting: the Transport
  int64_t failed = 0;   // Finished: transfers failed
  bool encrypted = false, text = false, loggedIn = false;  // Status: empty name, not connected
};
std::string progressText(Progress kind, const ProgressFacts& facts = {});

}  // namespace radmon::ftp
