// What a step with the server came to, and what the certificate check found: plain
// facts with no network behind them, for the runner to act on and the outcome texts to
// word.
#pragma once

#include <cstdint>
#include <set>
#include <string>

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
  Broken,       // the connection broke during the transfer
  LocalFile,    // the local file cannot be read
  Other,
};

struct Outcome {
  bool ok = false;
  Failure failure = Failure::None;
  std::string reply;   // the server's whole last reply (all lines of a multi-line one)
  std::string detail;  // libcurl's own words, or what is wrong with a certificate
  int64_t bytes = 0;  // uploads: bytes sent
  bool commandRefused = false;  // a command after the transfer (the rename) was refused
};

enum class CertificateProblem {
  None,
  SelfSigned,     // no issuer the store knows: self-signed or a private authority
  UnknownIssuer,  // the chain ends at an issuer outside the store
  Expired,
  NotYetValid,
  OtherName,      // valid, but issued for another name than the server's
  Unusable,       // anything else OpenSSL finds wrong with it
};

struct TrustCheck {
  std::string host;                  // the name the server was reached by
  std::set<std::string> trusted;     // fingerprints, 64 upper-case hex digits
  // Filled in by the handshake:
  std::string fingerprint;           // of the server's own certificate
  CertificateProblem problem = CertificateProblem::None;
  std::string detail;                // OpenSSL's words, for "anything else"
};

enum class CertificateFileFault { None, Unopenable, NoCertificate };

}  // namespace radmon::ftp
