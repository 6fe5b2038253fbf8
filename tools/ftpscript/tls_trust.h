// The certificate check of an FTP session over TLS, done inside the TLS handshake so
// that nothing (the password least of all) is sent to a server that fails it: the
// chain against the system's certificate store and the server's name, or else the
// certificate's SHA-256 fingerprint among those the operator chose to trust (a
// certificate file or fingerprints in the publishing settings). A trusted certificate
// is taken whatever name it was issued for: on shared hosting it names the host's
// company, not the station's server.
#pragma once

#include <curl/curl.h>

#include <set>
#include <string>

#include "outcome_text.h"

namespace radmon::ftp {

// Adds the SHA-256 fingerprints of the certificates in a PEM file.
CertificateFileFault addCertificateFile(const std::string& path,
                                        std::set<std::string>& fingerprints);

// Sets the handle up to check the server as described above; `check` must outlive it.
void installTrustCheck(CURL* handle, TrustCheck& check);

}  // namespace radmon::ftp
