// The station's publishing settings that dayplot.ini has no field for (its 21 fields
// are read by other programs as they stand): TLS required, the certificates the
// operator trusts, the SSH key file, the retry period and whether the station's page
// goes up beside the graph. They live in their own
// owner-only file beside dayplot.ini, one "Name=value" per line, written by the
// settings window and read by dayplot and ftpscript.
#pragma once

#include <expected>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "read_result.h"

namespace radmon {

struct PublishSettings {
  bool tlsRequired = false;
  std::string trustedCertificateFile;         // PEM file of certificates to accept as they are
  std::set<std::string> trustedFingerprints;  // SHA-256 of certificates, 64 upper-case hex
  std::set<std::string> trustedHostKeys;      // SSH host keys accepted when changed, "SHA256:…"
  std::string keyFile;                        // SSH private key for sftp://; empty: password
  int retryMinutes = 5;                       // first wait before a failed upload is tried again
  // With the graph, the station's page (index.html), its minutes (readings.json) and the
  // graphs it shows go up too.
  bool publishPage = false;

  bool operator==(const PublishSettings&) const = default;
};

// The names of the file's lines.
inline constexpr std::string_view kTlsRequired = "TlsRequired";
inline constexpr std::string_view kCertificateFile = "TrustedCertificateFile";
inline constexpr std::string_view kFingerprints = "TrustedFingerprints";
inline constexpr std::string_view kHostKeys = "TrustedHostKeys";
inline constexpr std::string_view kKeyFile = "KeyFile";
inline constexpr std::string_view kRetryMinutes = "RetryMinutes";
inline constexpr std::string_view kPublishPage = "PublishPage";

// The items of a set as the file writes them: "A,B,C".
std::string commaJoined(const std::set<std::string>& items);

inline constexpr int kMinRetryMinutes = 1;
inline constexpr int kMaxRetryMinutes = 720;

// program folder (ending with the separator) + the file name.
std::string publishSettingsPath(const std::string& programFolder);
// The servers that have offered TLS once, one "host:port" a line, beside the settings.
std::string tlsMemoryPath(const std::string& settingsPath);
// A fingerprint the operator trusted for the next session only; the client removes it.
std::string trustOncePath(const std::string& settingsPath);

// SSH host keys seen, in OpenSSH's known_hosts form, beside the settings.
std::string knownHostsPath(const std::string& settingsPath);

// Defaults for a missing file or a line it cannot use, each such line an issue; unknown
// names are skipped without one, so a later version's file still reads.
ReadResult<PublishSettings, SettingsIssue> readPublishSettings(const std::string& path);
ReadResult<PublishSettings, SettingsIssue> parsePublishSettings(std::string_view text);
std::string publishSettingsText(const PublishSettings& settings);
// Owner-only; an error text (Japanese) when it cannot be written.
std::expected<void, std::string> writePublishSettings(const std::string& path,
                                                      const PublishSettings& settings);

// "ab:CD:…" or "abcd…" (64 hex digits, colons and blanks allowed) as 64 upper-case hex
// digits; no value for anything else.
std::optional<std::string> normalFingerprint(std::string_view text);
// 64 hex digits as "AB:CD:…", the way certificate viewers show them.
std::string shownFingerprint(std::string_view fingerprint);

// "SHA256:" and 43 base64 digits, as OpenSSH shows an SSH key's fingerprint (the
// "SHA256:" may be left out, padding is dropped); no value for anything else.
std::optional<std::string> normalHostKeyFingerprint(std::string_view text);

// A list of servers kept in a file of its own, one key a line (owner-only): those that
// offered TLS, those that refuse rename, those whose last session did not finish.
std::set<std::string> readServerList(const std::string& path);
// Adds or takes out one server; what went wrong writing the file, if anything.
std::expected<void, std::string> rememberServer(const std::string& path,
                                                const std::string& serverKey);
std::expected<void, std::string> forgetServer(const std::string& path,
                                              const std::string& serverKey);

}  // namespace radmon
