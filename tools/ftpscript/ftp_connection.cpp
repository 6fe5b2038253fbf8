#include "ftp_connection.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>

namespace radmon::ftp {
namespace {

constexpr long kConnectSeconds = 10;

size_t readFile(char* buffer, size_t size, size_t count, void* file) {
  return std::fread(buffer, size, count, static_cast<std::FILE*>(file));
}

}  // namespace

FtpConnection::FtpConnection(const Endpoint& endpoint, const Login& login, int stallSeconds,
                             bool verbose)
    : handle_(curl_easy_init()), multi_(curl_multi_init()) {
  if (handle_ == nullptr || multi_ == nullptr) throw std::bad_alloc();
  const bool ipv6 = endpoint.host.find(':') != std::string::npos;
  base_ = "ftp://" + (ipv6 ? "[" + endpoint.host + "]" : endpoint.host) + ":" +
          std::to_string(endpoint.port);
  curl_easy_setopt(handle_, CURLOPT_USERNAME, login.user.c_str());
  curl_easy_setopt(handle_, CURLOPT_PASSWORD, login.password.c_str());
  // TLS where the server offers it; an old server without it still gets the graph.
  curl_easy_setopt(handle_, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  curl_easy_setopt(handle_, CURLOPT_FTP_CREATE_MISSING_DIRS, 0L);
  curl_easy_setopt(handle_, CURLOPT_FTPPORT, nullptr);  // passive: works behind NAT
  curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT,
                   std::min(kConnectSeconds, static_cast<long>(stallSeconds)));
  // A server that stops answering or stops taking data must not hold the run forever.
  curl_easy_setopt(handle_, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(stallSeconds));
  curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(stallSeconds));
  curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, errorText_);
  curl_easy_setopt(handle_, CURLOPT_HEADERFUNCTION, &FtpConnection::onReply);
  curl_easy_setopt(handle_, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(handle_, CURLOPT_READFUNCTION, &readFile);
  curl_easy_setopt(handle_, CURLOPT_VERBOSE, verbose ? 1L : 0L);
}

FtpConnection::~FtpConnection() {
  curl_easy_cleanup(handle_);
  curl_multi_cleanup(multi_);  // the connection lives in the multi handle: sends QUIT
}

size_t FtpConnection::onReply(char* data, size_t size, size_t count, void* self) {
  auto* connection = static_cast<FtpConnection*>(self);
  std::string line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (!line.empty()) {
    if (line.rfind("234", 0) == 0) connection->tls_ = true;  // the reply to AUTH only
    connection->lastReply_ = std::move(line);
  }
  return size * count;
}

// curl_easy_perform would do the same, but libcurl 7.88 now and then misses the moment
// the passive data connection can start and sleeps its full one-second poll (seen in
// about one local upload in fifteen); a short poll of our own bounds that to 20 ms.
// The handle stays in the multi handle's connection cache between requests.
CURLcode FtpConnection::runTransfer() {
  curl_multi_add_handle(multi_, handle_);
  int running = 1;
  CURLMcode state = CURLM_OK;
  while (running > 0 && state == CURLM_OK) {
    state = curl_multi_perform(multi_, &running);
    if (running > 0 && state == CURLM_OK) state = curl_multi_poll(multi_, nullptr, 0, 20, nullptr);
  }
  CURLcode code = state == CURLM_OK ? CURLE_OK : CURLE_FAILED_INIT;
  int left = 0;
  while (const CURLMsg* message = curl_multi_info_read(multi_, &left)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == handle_) {
      code = message->data.result;
    }
  }
  curl_multi_remove_handle(multi_, handle_);
  return code;
}

Outcome FtpConnection::perform() {
  lastReply_.clear();
  errorText_[0] = '\0';
  const CURLcode code = runTransfer();
  Outcome outcome;
  outcome.ok = code == CURLE_OK;
  if (!outcome.ok) {
    const std::string detail = errorText_[0] != '\0' ? errorText_ : curl_easy_strerror(code);
    outcome.reason = (lastReply_.empty() ? "" : lastReply_ + " ") + "(curl " +
                     std::to_string(static_cast<int>(code)) + ": " + detail + ")";
  }
  return outcome;
}

Outcome FtpConnection::checkFolder(const std::string& urlPath) {
  const std::string url = base_ + urlPath;
  curl_easy_setopt(handle_, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle_, CURLOPT_UPLOAD, 0L);
  curl_easy_setopt(handle_, CURLOPT_NOBODY, 1L);
  return perform();
}

Outcome FtpConnection::upload(const std::string& localPath, const std::string& urlPath, bool text) {
  std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(localPath.c_str(), "rb"),
                                                          &std::fclose);
  if (!file) return {false, "ローカルファイルを開けません: " + localPath, 0};
  std::fseek(file.get(), 0, SEEK_END);
  const long size = std::ftell(file.get());
  std::fseek(file.get(), 0, SEEK_SET);

  const std::string url = base_ + urlPath;
  curl_easy_setopt(handle_, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle_, CURLOPT_NOBODY, 0L);
  curl_easy_setopt(handle_, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(handle_, CURLOPT_TRANSFERTEXT, text ? 1L : 0L);
  curl_easy_setopt(handle_, CURLOPT_READDATA, file.get());
  curl_easy_setopt(handle_, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
  Outcome outcome = perform();
  curl_easy_getinfo(handle_, CURLINFO_SIZE_UPLOAD_T, &outcome.bytes);
  if (outcome.ok && !text && outcome.bytes != size) {
    outcome.ok = false;
    outcome.reason =
        "送信バイト数が合いません: " + std::to_string(outcome.bytes) + " / " + std::to_string(size);
  }
  curl_easy_setopt(handle_, CURLOPT_READDATA, nullptr);
  return outcome;
}

}  // namespace radmon::ftp
