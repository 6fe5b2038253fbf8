// The operator's sentences for what a step came to: the cause first, then what to do,
// then the server's whole reply. One place for all of ftpscript's failure texts, so
// that dayplot can show them as they stand.
#pragma once

#include <string>

#include "ftp_connection.h"

namespace radmon::ftp {

// What went wrong, e.g. "接続を拒否されました (127.0.0.1:2121)。サーバが動いているか…".
// `check` is the certificate of the handshake, for certificate failures.
std::string failureText(const Outcome& outcome, const ServerAddress& address,
                        const TrustCheck& check);

// Why the trusted certificate file `path` is not used.
std::string certificateFileText(CertificateFileFault fault, const std::string& path);

}  // namespace radmon::ftp
