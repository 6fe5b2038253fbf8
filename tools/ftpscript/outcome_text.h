// The operator's sentences for what a step came to: the cause first, then what to do,
// then the server's whole reply; and what is wrong in the script or the settings. One
// place for all of ftpscript's failure texts, so that dayplot can show them as they stand.
#pragma once

#include <string>

#include "ftp_script.h"
#include "outcome.h"
#include "read_result.h"
#include "server_address.h"

namespace radmon::ftp {

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

}  // namespace radmon::ftp
