// One FTP session on one libcurl handle: libcurl keeps the control connection open
// between requests on the same handle, so a script's steps log in once.
#pragma once

#include <curl/curl.h>

#include <string>

#include "ftp_script.h"

namespace radmon::ftp {

struct Endpoint {
  std::string host;
  unsigned port = 21;
};

// What a request came to; `reason` holds the server's last reply and libcurl's text.
struct Outcome {
  bool ok = false;
  std::string reason;
  curl_off_t bytes = 0;  // uploads: bytes sent
};

class FtpConnection {
 public:
  FtpConnection(const Endpoint& endpoint, const Login& login, int stallSeconds, bool verbose);
  ~FtpConnection();
  FtpConnection(const FtpConnection&) = delete;
  FtpConnection& operator=(const FtpConnection&) = delete;

  // Connects and logs in when not yet done, then changes into the folder
  // (`urlPath` ends with '/'): a missing folder fails here, before any upload.
  Outcome checkFolder(const std::string& urlPath);

  // Sends the local file to `urlPath`, in ASCII mode when `text`.
  Outcome upload(const std::string& localPath, const std::string& urlPath, bool text);

  // Whether the server accepted AUTH TLS for the control connection.
  bool usesTls() const { return tls_; }

 private:
  static size_t onReply(char* data, size_t size, size_t count, void* self);
  Outcome perform();
  CURLcode runTransfer();

  CURL* handle_;
  CURLM* multi_;
  std::string base_;
  std::string lastReply_;
  char errorText_[CURL_ERROR_SIZE] = {};
  bool tls_ = false;
};

}  // namespace radmon::ftp
