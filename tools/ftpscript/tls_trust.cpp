#include "tls_trust.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <memory>

namespace radmon::ftp {
namespace {

std::string sha256(X509* certificate) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (X509_digest(certificate, EVP_sha256(), digest, &length) != 1) return {};
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex.push_back(kHex[digest[i] >> 4]);
    hex.push_back(kHex[digest[i] & 0x0F]);
  }
  return hex;
}

CertificateProblem problemOf(int error) {
  switch (error) {
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
      return CertificateProblem::SelfSigned;
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
      return CertificateProblem::UnknownIssuer;
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return CertificateProblem::Expired;
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return CertificateProblem::NotYetValid;
    default:
      return CertificateProblem::Unusable;
  }
}

bool namesHost(X509* certificate, const std::string& host) {
  if (X509_check_ip_asc(certificate, host.c_str(), 0) == 1) return true;
  return X509_check_host(certificate, host.c_str(), host.size(), 0, nullptr) == 1;
}

int verifyServer(X509_STORE_CTX* store, void* arg) {
  auto& check = *static_cast<TrustCheck*>(arg);
  X509* leaf = X509_STORE_CTX_get0_cert(store);
  if (leaf == nullptr) return 0;
  check.fingerprint = sha256(leaf);
  check.problem = CertificateProblem::None;
  if (X509_verify_cert(store) == 1) {
    if (namesHost(leaf, check.host)) return 1;
    check.problem = CertificateProblem::OtherName;
  } else {
    const int error = X509_STORE_CTX_get_error(store);
    check.problem = problemOf(error);
    check.detail = X509_verify_cert_error_string(error);
  }
  if (check.trusted.contains(check.fingerprint)) {
    X509_STORE_CTX_set_error(store, X509_V_OK);
    check.problem = CertificateProblem::None;
    return 1;
  }
  return 0;
}

CURLcode onContext(CURL*, void* context, void* arg) {
  auto* ssl = static_cast<SSL_CTX*>(context);
  SSL_CTX_set_verify(ssl, SSL_VERIFY_PEER, nullptr);
  SSL_CTX_set_cert_verify_callback(ssl, &verifyServer, arg);
  return CURLE_OK;
}

}  // namespace

CertificateFileFault addCertificateFile(const std::string& path,
                                        std::set<std::string>& fingerprints) {
  std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"),
                                                          &std::fclose);
  if (!file) return CertificateFileFault::Unopenable;
  size_t found = 0;
  while (X509* certificate = PEM_read_X509(file.get(), nullptr, nullptr, nullptr)) {
    const std::string print = sha256(certificate);
    X509_free(certificate);
    if (!print.empty()) {
      fingerprints.insert(print);
      ++found;
    }
  }
  ERR_clear_error();  // the read that ends the loop leaves an "no start line" behind
  return found == 0 ? CertificateFileFault::NoCertificate : CertificateFileFault::None;
}

void installTrustCheck(CURL* handle, TrustCheck& check) {
  // The chain is checked against the system's store; the name check is ours, since a
  // trusted certificate may name another host.
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, &onContext);
  curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, &check);
}

}  // namespace radmon::ftp
