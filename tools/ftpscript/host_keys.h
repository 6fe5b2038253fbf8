// SSH host keys kept per server and port, in the station's known-hosts file written as
// OpenSSH writes it: "host" for port 22, "[host]:port" for any other, then the key's type
// and base64 blob. A key seen for the first time is kept (or, when the caller asks the
// operator, refused like a changed one); a key that differs from the one kept is refused
// unless the operator trusts its SHA-256 fingerprint; a key marked "@revoked" is refused
// always. Entries of earlier versions, kept by host alone, still count for a port that
// has none of its own.
#pragma once

#include <curl/curl.h>

#include <set>
#include <string>
#include <string_view>

namespace radmon::ftp {

enum class HostKeyMatch {
  New,      // nothing kept for this server
  Known,    // the key kept for this server
  Changed,  // another key is kept for this server
  Revoked,  // an "@revoked" line names this key (for this server or a pattern of it)
};

struct HostKeyLookup {
  HostKeyMatch match = HostKeyMatch::New;
  bool byHostOnly = false;  // Known through a "host" entry only, for a port other than 22
};

// "host" for port 22, "[host]:port" for any other.
std::string knownHostName(std::string_view host, unsigned port);
// How `blob` (the key as the server sends it) stands in the known-hosts text. Plain,
// hashed ("|1|salt|hash") and wildcard names ("*.example.org", "[host]:*", "!not.this")
// count, as OpenSSH reads them; "@revoked" lines refuse their key, and
// "@cert-authority" lines are not used.
HostKeyLookup lookUpHostKey(std::string_view knownHosts, std::string_view host, unsigned port,
                            std::string_view blob);
// The text with every entry of this server and port replaced by one line for `blob`, and
// for a port other than 22 the entries by host alone with this key taken out (they were
// this port's); other lines stay as they are.
std::string withHostKey(std::string_view knownHosts, std::string_view host, unsigned port,
                        std::string_view blob);
// "SHA256:" and the unpadded base64 of the blob's SHA-256, as OpenSSH shows it.
std::string hostKeyFingerprint(std::string_view blob);

// What the check made of the key in the last handshake.
enum class HostKeyEvent {
  None,         // no SSH handshake yet, or nothing to check against
  Known,        // the kept key
  Kept,         // first seen, now kept
  Replaced,     // changed, trusted by the settings, now kept instead of the old one
  TrustedOnce,  // changed, trusted for this run only; the kept key stays
  Refused,      // changed and not trusted
  RefusedNew,   // first seen, not trusted, and first sight is to be asked about
  Revoked,      // marked revoked in the known-hosts file: refused whatever is trusted
};

struct HostKeyCheck {
  std::string path;  // the known-hosts file
  std::string host;
  unsigned port = 22;
  std::set<std::string> trusted;  // fingerprints ("SHA256:…") accepted instead of the kept key
  std::string trustedOnce;        // a fingerprint accepted for this run only
  bool askNew = false;            // a key seen first is refused unless trusted, not kept
  // Filled in by the handshake:
  std::string fingerprint;
  std::string keyType;  // e.g. "ssh-ed25519"
  HostKeyEvent event = HostKeyEvent::None;
  bool unsaved = false;  // the file could not be written: the key was accepted, not kept
};

// Sets the handle up to check the server's key as described above; `check` must outlive it.
void installHostKeyCheck(CURL* handle, HostKeyCheck& check);

}  // namespace radmon::ftp
