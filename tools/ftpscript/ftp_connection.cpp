#include "ftp_connection.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <limits>
#include <memory>
#include <thread>

#include "text_files.h"

namespace radmon::ftp {
namespace {

// Connecting, the greeting, TLS and the login together; a server that has not got that
// far in this time is not coming.
constexpr long kConnectSeconds = 15;
// A small send buffer keeps what is in flight, and so the wait for it, small.
constexpr int kSendBuffer = 32 * 1024;
// A broken upload is sent again this many times before the step fails.
constexpr int kResends = 2;

size_t discard(char*, size_t size, size_t count, void*) { return size * count; }

bool replyEnds(const std::string& line, const std::string& code) {
  return line.size() >= 4 && line.compare(0, 3, code) == 0 && line[3] == ' ';
}

struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

Slist slistOf(const std::vector<std::string>& lines) {
  curl_slist* list = nullptr;
  for (const auto& line : lines) list = curl_slist_append(list, line.c_str());
  return Slist(list);
}

std::string sftpQuote(const std::string& path) {
  std::string out = "\"";
  for (const char c : path) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

// A server that has gone silent or away would only make a clean-up wait again.
bool reachable(Failure failure) {
  return failure != Failure::NoAnswer && failure != Failure::Stalled &&
         failure != Failure::Refused && failure != Failure::Unreachable &&
         failure != Failure::Resolve;
}

}  // namespace

FtpConnection::FtpConnection(const SessionOptions& options)
    : options_(options), handle_(curl_easy_init()), multi_(curl_multi_init()) {
  const ServerAddress& address = options_.address;
  curl_easy_setopt(handle_, CURLOPT_USERNAME, options_.login.user.c_str());
  curl_easy_setopt(handle_, CURLOPT_PASSWORD, options_.login.password.c_str());
  curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT,
                   std::min(kConnectSeconds, static_cast<long>(options_.stallSeconds)));
  // A reply may take as long as the server needs to take in what was sent; the
  // transfer itself is watched by its pace, not by a fixed time.
  curl_easy_setopt(handle_, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                   static_cast<long>(options_.stallSeconds));
  curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(options_.stallSeconds));
  curl_easy_setopt(handle_, CURLOPT_SOCKOPTFUNCTION, &FtpConnection::onSocket);
  curl_easy_setopt(handle_, CURLOPT_SOCKOPTDATA, this);
  curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, errorText_);
  curl_easy_setopt(handle_, CURLOPT_HEADERFUNCTION, &FtpConnection::onReply);
  curl_easy_setopt(handle_, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(handle_, CURLOPT_READFUNCTION, &FtpConnection::onRead);
  curl_easy_setopt(handle_, CURLOPT_READDATA, this);
  curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &discard);
  if (options_.verbose) {
    curl_easy_setopt(handle_, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(handle_, CURLOPT_DEBUGFUNCTION, &FtpConnection::onDebug);
    curl_easy_setopt(handle_, CURLOPT_DEBUGDATA, this);
  }

  if (!options_.noRenamePath.empty())
    renames_ = !readServerList(options_.noRenamePath).contains(address.key());
  if (!options_.unfinishedPath.empty())
    unfinishedBefore_ = readServerList(options_.unfinishedPath).contains(address.key());
  if (sftp()) {
    const std::string& key = options_.publish.keyFile;
    curl_easy_setopt(handle_, CURLOPT_SSH_AUTH_TYPES,
                     key.empty() ? static_cast<long>(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD)
                                 : static_cast<long>(CURLSSH_AUTH_PUBLICKEY));
    if (!key.empty()) {
      curl_easy_setopt(handle_, CURLOPT_SSH_PRIVATE_KEYFILE, key.c_str());
      // With a key file the password box holds the key's passphrase, if it has one.
      curl_easy_setopt(handle_, CURLOPT_KEYPASSWD, options_.login.password.c_str());
    }
    if (!options_.settingsPath.empty()) {
      hostKey_.path = knownHostsPath(options_.settingsPath);
      hostKey_.host = address.host;
      hostKey_.port = address.port;
      hostKey_.trusted = options_.publish.trustedHostKeys;
      hostKey_.trustedOnce = options_.hostKeyOnce;
      hostKey_.askNew = options_.askNewHostKeys;
      installHostKeyCheck(handle_, hostKey_);
    }
    return;
  }

  if (!options_.settingsPath.empty())
    remembered_ = readServerList(tlsMemoryPath(options_.settingsPath)).contains(address.key());
  // TLS is the rule for ftps://, with "TLS required", and for a server that offered it
  // before: then libcurl stops at a refused AUTH, before the user name is sent.
  const bool required =
      address.transport == Transport::Ftps || options_.publish.tlsRequired || remembered_;
  curl_easy_setopt(handle_, CURLOPT_USE_SSL,
                   static_cast<long>(required ? CURLUSESSL_ALL : CURLUSESSL_TRY));
  // vsftpd 3.0.3 has been seen to answer about half of all uploads over TLS 1.3 data
  // connections with 426 and keep a cut file; over TLS 1.2 none failed.
  curl_easy_setopt(
      handle_, CURLOPT_SSLVERSION,
      static_cast<long>(CURL_SSLVERSION_TLSv1_2) | static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));
  curl_easy_setopt(handle_, CURLOPT_FTP_CREATE_MISSING_DIRS, 0L);
  curl_easy_setopt(handle_, CURLOPT_FTPPORT, nullptr);  // passive: works behind NAT
  trust_.host = address.host;
  trust_.trusted = options_.publish.trustedFingerprints;
  if (!options_.publish.trustedCertificateFile.empty())
    trustFileFault_ = addCertificateFile(options_.publish.trustedCertificateFile, trust_.trusted);
  installTrustCheck(handle_, trust_);
}

FtpConnection::~FtpConnection() {
  // A session that sent everything leaves nothing behind; one that was ended before
  // this (a signal, a crash) stays written down, and the next one cleans up.
  if (marked_ && allSent_) forgetServer(options_.unfinishedPath, options_.address.key());
  curl_easy_cleanup(handle_);
  curl_multi_cleanup(multi_);  // the connection lives in the multi handle: sends QUIT
}

std::string FtpConnection::temporaryName(const std::string& name) { return name + ".uploading"; }

size_t FtpConnection::onReply(char* data, size_t size, size_t count, void* self) {
  auto* connection = static_cast<FtpConnection*>(self);
  std::string line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (line.empty() || connection->sftp()) return size * count;
  // A reply "552-…" goes on, line by line, up to "552 …": the operator gets all of it.
  if (!connection->replyOpen_) {
    connection->reply_.clear();
    const bool digits = line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0]));
    connection->replyOpen_ = digits && line[3] == '-';
    if (line.rfind("234", 0) == 0) connection->tls_ = true;  // the reply to AUTH only
  } else {
    connection->reply_ += "\n";
    if (replyEnds(line, connection->reply_.substr(0, 3))) connection->replyOpen_ = false;
  }
  connection->reply_ += line;
  return size * count;
}

// libcurl's trace (-d) shows every command; the password is masked in it.
int FtpConnection::onDebug(CURL*, curl_infotype type, char* data, size_t size, void*) {
  if (type != CURLINFO_TEXT && type != CURLINFO_HEADER_IN && type != CURLINFO_HEADER_OUT) return 0;
  std::string text(data, size);
  if (type == CURLINFO_HEADER_OUT && (text.rfind("PASS ", 0) == 0 || text.rfind("pass ", 0) == 0))
    text = "PASS ****\r\n";
  std::cerr << (type == CURLINFO_HEADER_OUT  ? "> "
                : type == CURLINFO_HEADER_IN ? "< "
                                             : "* ")
            << text;
  if (!text.empty() && text.back() != '\n') std::cerr << '\n';
  return 0;
}

std::string FtpConnection::url(const ServerFolder& folder, const std::string& name) const {
  return options_.address.urlBase() + (sftp() ? folder.sftpUrlPath(name) : folder.urlPath(name));
}

std::string FtpConnection::quoted(const ServerFolder& folder, const std::string& name) const {
  return sftp() ? sftpQuote(folder.sftpPath(name)) : name;
}

int FtpConnection::onSocket(void* self, curl_socket_t socket, curlsocktype purpose) {
  if (purpose == CURLSOCKTYPE_IPCXN)
    ::setsockopt(socket, SOL_SOCKET, SO_SNDBUF, &kSendBuffer, sizeof kSendBuffer);
  static_cast<FtpConnection*>(self)->newestSocket_ = socket;
  return CURL_SOCKOPT_OK;
}

// The file, and its end. libcurl stops asking once it has the file's size; a read past
// it (a size not known) is held back until all sent before it has reached the server,
// and while it is held the transfer is watched by what is still in flight. Once the last
// bytes are handed over, the transfer's remaining time is the wait for the server's
// reply.
size_t FtpConnection::onRead(char* buffer, size_t size, size_t count, void* self) {
  auto* c = static_cast<FtpConnection*>(self);
  Sending& s = c->sending_;
  if (!s.reading) {
    s.reading = true;
    s.lastMove = std::chrono::steady_clock::now();
  }
  const size_t read = c->source_ ? std::fread(buffer, size, count, c->source_) : 0;
  if (!s.watched || s.released) return read;
  const bool lastBytes = read > 0 && c->source_ && std::ftell(c->source_) >= s.size;
  if (read > 0 && !lastBytes) return read;
  if (read == 0) {
    s.inFlight = c->inFlight();
    if (s.inFlight > 0) {
      s.held = true;
      return CURL_READFUNC_PAUSE;
    }
  }
  s.released = true;
  s.inFlight = std::numeric_limits<long>::max();
  s.lastMove = std::chrono::steady_clock::now();
  // Taken is not read: a host on a slow line may hold the whole file in its buffers and
  // answer only once it has read it. libcurl reads the option when it starts waiting
  // for that reply, after these bytes.
  curl_easy_setopt(c->handle_, CURLOPT_SERVER_RESPONSE_TIMEOUT, c->replyWaitAfterEnd(s.size));
  return read;
}

long FtpConnection::replyWaitAfterEnd(long size) const {
  // The slowest pace a host is waited for: 1000 bytes a second.
  constexpr long kSlowestBytesPerSecond = 1000;
  return static_cast<long>(options_.stallSeconds) + size / kSlowestBytesPerSecond;
}

long FtpConnection::inFlight() const {
  // The data connection is the newest socket of an upload; SFTP has only the session's.
  curl_socket_t socket = newestSocket_;
  if (socket == CURL_SOCKET_BAD) curl_easy_getinfo(handle_, CURLINFO_ACTIVESOCKET, &socket);
  int bytes = 0;
  if (socket == CURL_SOCKET_BAD || ::ioctl(socket, SIOCOUTQ, &bytes) != 0) return 0;
  return bytes;
}

// An upload stalls when nothing moves for -t seconds: no byte taken by the socket while
// the file is sent, and no drop of what is in flight while its end is held back; after
// the end, when no reply comes in replyWaitAfterEnd.
bool FtpConnection::uploadStalled() {
  Sending& s = sending_;
  if (!s.watched || !s.reading) return false;
  const auto now = std::chrono::steady_clock::now();
  curl_off_t sent = 0;
  curl_easy_getinfo(handle_, CURLINFO_SIZE_UPLOAD_T, &sent);
  if (sent != s.sent) {
    s.sent = sent;
    s.lastMove = now;
  }
  if (s.held) {
    const long left = inFlight();
    if (left <= 0) {
      s.held = false;
      s.released = true;
      s.lastMove = now;
      curl_easy_pause(handle_, CURLPAUSE_CONT);
      return false;
    }
    if (left < s.inFlight) {
      s.inFlight = left;
      s.lastMove = now;
    }
  }
  if (s.released) {
    // After the end, the transfer moves while the server takes what is still in flight;
    // once all of it is taken, the reply is waited for as long as libcurl waits for it.
    const long left = inFlight();
    if (left > 0) {
      if (left < s.inFlight) {
        s.inFlight = left;
        s.lastMove = now;
      }
      return now - s.lastMove > std::chrono::seconds(options_.stallSeconds);
    }
    if (!s.drained) {
      s.drained = true;
      s.lastMove = now;
    }
    return now - s.lastMove > std::chrono::seconds(replyWaitAfterEnd(s.size));
  }
  return now - s.lastMove > std::chrono::seconds(options_.stallSeconds);
}

// curl_easy_perform would do the same, but libcurl 7.88 now and then misses the moment
// the passive data connection can start and sleeps its full one-second poll (seen in
// about one local upload in fifteen); a short poll of our own bounds that to 20 ms.
// The handle stays in the multi handle's connection cache between requests.
CURLcode FtpConnection::runTransfer() {
  // Handles libcurl could not make fail the first request (the login) like any error;
  // the options set on them before were refused harmlessly.
  if (handle_ == nullptr || multi_ == nullptr) return CURLE_OUT_OF_MEMORY;
  curl_multi_add_handle(multi_, handle_);
  int running = 1;
  CURLMcode state = CURLM_OK;
  bool stalled = false;
  while (running > 0 && state == CURLM_OK && !stalled) {
    state = curl_multi_perform(multi_, &running);
    if (running > 0 && state == CURLM_OK) state = curl_multi_poll(multi_, nullptr, 0, 20, nullptr);
    stalled = running > 0 && uploadStalled();
  }
  CURLcode code = state == CURLM_OK ? CURLE_OK : CURLE_FAILED_INIT;
  int left = 0;
  while (const CURLMsg* message = curl_multi_info_read(multi_, &left)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == handle_)
      code = message->data.result;
  }
  // Taken out unfinished, the transfer is abandoned and its connection closed.
  curl_multi_remove_handle(multi_, handle_);
  return stalled ? CURLE_OPERATION_TIMEDOUT : code;
}

Failure FtpConnection::classify(CURLcode code) const {
  const std::string replyCode = reply_.substr(0, 3);
  switch (code) {
    case CURLE_OK:
      return Failure::None;
    case CURLE_COULDNT_RESOLVE_HOST:
      return Failure::Resolve;
    case CURLE_COULDNT_CONNECT: {
      long error = 0;
      curl_easy_getinfo(handle_, CURLINFO_OS_ERRNO, &error);
      return error == ECONNREFUSED ? Failure::Refused : Failure::Unreachable;
    }
    case CURLE_OPERATION_TIMEDOUT: {
      curl_off_t sent = 0;
      curl_easy_getinfo(handle_, CURLINFO_SIZE_UPLOAD_T, &sent);
      return sent > 0 ? Failure::Stalled : Failure::NoAnswer;
    }
    case CURLE_USE_SSL_FAILED:
      return remembered_ ? Failure::TlsDropped : Failure::TlsRefused;
    case CURLE_PEER_FAILED_VERIFICATION:
      if (sftp()) return hostKeyFailure(Failure::Other);
      return Failure::Certificate;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CACERT_BADFILE:
      return trust_.problem != CertificateProblem::None ? Failure::Certificate : Failure::Other;
    case CURLE_SSH:
      return hostKeyFailure(Failure::Other);
    case CURLE_LOGIN_DENIED:
      return Failure::Login;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_REMOTE_FILE_NOT_FOUND:
      return Failure::Folder;
    case CURLE_REMOTE_DISK_FULL:
      return Failure::DiskFull;
    case CURLE_UPLOAD_FAILED:
    case CURLE_QUOTE_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_FTP_COULDNT_RETR_FILE:
      if (replyCode == "452" || replyCode == "552") return Failure::DiskFull;
      if (replyCode == "426" || code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR ||
          code == CURLE_PARTIAL_FILE)
        return Failure::Broken;
      return Failure::Refusal;
    default:
      return Failure::Other;
  }
}

Failure FtpConnection::hostKeyFailure(Failure otherwise) const {
  if (hostKey_.event == HostKeyEvent::Refused) return Failure::HostKey;
  if (hostKey_.event == HostKeyEvent::RefusedNew) return Failure::HostKeyNew;
  if (hostKey_.event == HostKeyEvent::Revoked) return Failure::HostKeyRevoked;
  return otherwise;
}

Outcome FtpConnection::perform() {
  reply_.clear();
  replyOpen_ = false;
  errorText_[0] = '\0';
  const CURLcode code = runTransfer();
  Outcome outcome;
  outcome.ok = code == CURLE_OK;
  if (!outcome.ok) {
    outcome.failure = classify(code);
    if (outcome.failure == Failure::HostKey || outcome.failure == Failure::HostKeyNew ||
        outcome.failure == Failure::HostKeyRevoked)
      trust_.hostKey = hostKey_.fingerprint;
    outcome.commandRefused = code == CURLE_QUOTE_ERROR;
    outcome.reply = reply_;
    outcome.detail =
        (errorText_[0] != '\0' ? std::string(errorText_) : std::string(curl_easy_strerror(code))) +
        " (curl " + std::to_string(static_cast<int>(code)) + ")";
  }
  return outcome;
}

Outcome FtpConnection::checkFolder(const ServerFolder& folder) {
  Outcome outcome = runCommands(folder, {});
  if (outcome.ok && tls_ && !remembered_ && !options_.settingsPath.empty()) {
    // From now on this server is refused if it comes without TLS. A station that
    // cannot write the memory still uploads; it just learns nothing.
    remembered_ =
        rememberServer(tlsMemoryPath(options_.settingsPath), options_.address.key()).has_value();
  }
  return outcome;
}

Outcome FtpConnection::runCommands(const ServerFolder& folder,
                                   const std::vector<std::string>& commands) {
  const Slist list = slistOf(commands);
  const std::string target = url(folder);
  curl_easy_setopt(handle_, CURLOPT_URL, target.c_str());
  curl_easy_setopt(handle_, CURLOPT_UPLOAD, 0L);
  // SFTP has no folder change: a listing of the folder, thrown away, proves it is there.
  curl_easy_setopt(handle_, CURLOPT_NOBODY, sftp() ? 0L : 1L);
  curl_easy_setopt(handle_, CURLOPT_DIRLISTONLY, sftp() ? 1L : 0L);
  curl_easy_setopt(handle_, CURLOPT_POSTQUOTE, list.get());
  Outcome outcome = perform();
  curl_easy_setopt(handle_, CURLOPT_POSTQUOTE, nullptr);
  curl_easy_setopt(handle_, CURLOPT_DIRLISTONLY, 0L);
  return outcome;
}

Outcome FtpConnection::serverCommands(const ServerFolder& folder,
                                      const std::vector<std::string>& commands) {
  Outcome outcome = runCommands(folder, commands);
  if (outcome.ok) outcome.reply = reply_;
  return outcome;
}

std::string FtpConnection::commandPath(const ServerFolder& folder, const std::string& name) const {
  if (!sftp()) return name;
  return sftpQuote(!name.empty() && name.front() == '/' ? name : folder.sftpPath(name));
}

size_t FtpConnection::collect(char* data, size_t size, size_t count, void* text) {
  static_cast<std::string*>(text)->append(data, size * count);
  return size * count;
}

Outcome FtpConnection::list(const ServerFolder& folder, bool namesOnly, std::string& listing) {
  const std::string target = url(folder);
  curl_easy_setopt(handle_, CURLOPT_URL, target.c_str());
  curl_easy_setopt(handle_, CURLOPT_UPLOAD, 0L);
  curl_easy_setopt(handle_, CURLOPT_NOBODY, 0L);
  curl_easy_setopt(handle_, CURLOPT_DIRLISTONLY, namesOnly ? 1L : 0L);
  curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &FtpConnection::collect);
  curl_easy_setopt(handle_, CURLOPT_WRITEDATA, &listing);
  Outcome outcome = perform();
  curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &discard);
  curl_easy_setopt(handle_, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(handle_, CURLOPT_DIRLISTONLY, 0L);
  return outcome;
}

Outcome FtpConnection::download(const ServerFolder& folder, const std::string& name,
                                const std::string& localPath, bool text) {
  const std::string partial = localPath + ".part";
  std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(partial.c_str(), "wb"),
                                                          &std::fclose);
  if (!file) return {false, Failure::LocalFile, {}, partial, 0};
  const std::string target = url(folder, name);
  curl_easy_setopt(handle_, CURLOPT_URL, target.c_str());
  curl_easy_setopt(handle_, CURLOPT_UPLOAD, 0L);
  curl_easy_setopt(handle_, CURLOPT_NOBODY, 0L);
  curl_easy_setopt(handle_, CURLOPT_TRANSFERTEXT, text ? 1L : 0L);
  curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, nullptr);  // fwrite
  curl_easy_setopt(handle_, CURLOPT_WRITEDATA, file.get());
  Outcome outcome = perform();
  curl_easy_getinfo(handle_, CURLINFO_SIZE_DOWNLOAD_T, &outcome.bytes);
  curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &discard);
  curl_easy_setopt(handle_, CURLOPT_WRITEDATA, nullptr);
  const bool written = std::fclose(file.release()) == 0;
  if (outcome.ok && written && std::rename(partial.c_str(), localPath.c_str()) == 0) return outcome;
  std::remove(partial.c_str());
  if (outcome.ok) return {false, Failure::LocalFile, {}, localPath, outcome.bytes};
  return outcome;
}

Outcome FtpConnection::upload(const std::string& localPath, const ServerFolder& folder,
                              const std::string& name, bool text) {
  std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(localPath.c_str(), "rb"),
                                                          &std::fclose);
  if (!file) return {false, Failure::LocalFile, {}, localPath, 0};
  std::fseek(file.get(), 0, SEEK_END);
  const long size = std::ftell(file.get());
  if (!marked_ && !options_.unfinishedPath.empty()) {
    rememberServer(options_.unfinishedPath, options_.address.key());
    marked_ = true;
  }

  // A data connection that breaks (a 426 under load, a reset) is no reason to give up:
  // the temporary name makes another try safe. The last try is on a new session, in
  // case the first one went with the data connection.
  Outcome outcome;
  for (int attempt = 0; attempt <= kResends; ++attempt) {
    if (attempt == kResends) curl_easy_setopt(handle_, CURLOPT_FRESH_CONNECT, 1L);
    outcome = sendOnce(file.get(), size, folder, name, text);
    curl_easy_setopt(handle_, CURLOPT_FRESH_CONNECT, 0L);
    outcome.retries = attempt;
    if (outcome.failure != Failure::Broken) break;
  }
  if (!outcome.ok && outcome.failure == Failure::Broken && renames_)
    removeTemporary(folder, quoted(folder, temporaryName(name)));
  allSent_ = allSent_ && outcome.ok;
  // After the graph, not before: it is what the visitors are waiting for.
  if (unfinishedBefore_ && reachable(outcome.failure)) removeLeftovers(folder);
  return outcome;
}

Outcome FtpConnection::store(std::FILE* file, long size, const ServerFolder& folder,
                             const std::string& target, bool text,
                             const std::vector<std::string>& after) {
  std::fseek(file, 0, SEEK_SET);
  const Slist afterList = slistOf(after);
  const std::string address = url(folder, target);
  curl_easy_setopt(handle_, CURLOPT_URL, address.c_str());
  curl_easy_setopt(handle_, CURLOPT_NOBODY, 0L);
  curl_easy_setopt(handle_, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(handle_, CURLOPT_TRANSFERTEXT, text ? 1L : 0L);
  source_ = file;
  newestSocket_ = CURL_SOCKET_BAD;
  sending_ = {};
  sending_.watched = true;
  sending_.size = size;
  // The upload's pace is watched by runTransfer, the end held back until it has arrived.
  curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, 0L);
  curl_easy_setopt(handle_, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
  curl_easy_setopt(handle_, CURLOPT_POSTQUOTE, afterList.get());
  Outcome outcome = perform();
  curl_easy_getinfo(handle_, CURLINFO_SIZE_UPLOAD_T, &outcome.bytes);
  sending_ = {};
  source_ = nullptr;
  curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(options_.stallSeconds));
  curl_easy_setopt(handle_, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                   static_cast<long>(options_.stallSeconds));
  curl_easy_setopt(handle_, CURLOPT_UPLOAD, 0L);
  curl_easy_setopt(handle_, CURLOPT_POSTQUOTE, nullptr);
  if (outcome.ok && !text && outcome.bytes != size) {
    // A short count with a success reply: nothing to undo, but the operator must hear.
    return {false,
            Failure::Broken,
            {},
            std::to_string(outcome.bytes) + " / " + std::to_string(size),
            outcome.bytes};
  }
  return outcome;
}

Outcome FtpConnection::sendOnce(std::FILE* file, long size, const ServerFolder& folder,
                                const std::string& name, bool text) {
  if (!renames_) {
    Outcome outcome = store(file, size, folder, name, text, {});
    outcome.direct = true;
    return outcome;
  }
  if (sftp()) return sendSftp(file, size, folder, name, text);
  const std::string temporary = temporaryName(name);
  const std::string from = quoted(folder, temporary);
  Outcome outcome =
      store(file, size, folder, temporary, text, {"RNFR " + from, "RNTO " + quoted(folder, name)});
  if (outcome.ok) return outcome;
  if (outcome.commandRefused && outcome.bytes == size)
    return storeDirectly(file, size, folder, name, text, outcome);
  if (outcome.failure == Failure::Broken) return outcome;  // sent again, then cleaned up
  if (reachable(outcome.failure)) removeTemporary(folder, from);
  return outcome;
}

Outcome FtpConnection::sendSftp(std::FILE* file, long size, const ServerFolder& folder,
                                const std::string& name, bool text) {
  const std::string temporary = temporaryName(name);
  replacer().prepare();  // its session logs in while the file is sent
  Outcome outcome = store(file, size, folder, temporary, text, {});
  if (!outcome.ok) {
    if (outcome.failure != Failure::Broken && reachable(outcome.failure))
      removeTemporary(folder, quoted(folder, temporary));
    return outcome;
  }
  Outcome second = replaceSftp(folder, {folder, temporary}, {folder, name}, false);
  second.bytes = outcome.bytes;
  if (second.ok) return second;
  // Renaming is refused altogether: the graph goes up under its own name.
  Outcome direct = storeDirectly(file, size, folder, name, text, second);
  direct.oneStepFault = second.oneStepFault;
  return direct;
}

Outcome FtpConnection::renameOver(const ServerFolder& folder, const std::string& from,
                                  const std::string& to) {
  const auto file = [&folder](std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();  // "rename dir/ new/"
    const auto cut = path.find_last_of('/');
    if (cut == std::string::npos) return RemoteFile{folder, path};
    return RemoteFile{folder.changedTo(path.substr(0, cut + 1)), path.substr(cut + 1)};
  };
  return replaceSftp(folder, file(from), file(to), true);
}

SftpReplace& FtpConnection::replacer() {
  if (!replacer_) {
    const ServerAddress& address = options_.address;
    replacer_ = std::make_unique<SftpReplace>(SftpLogin{
        address.host, address.port, options_.login.user, options_.login.password,
        options_.publish.keyFile, hostKey_.keyType, hostKey_.fingerprint, options_.stallSeconds});
  }
  return *replacer_;
}

bool FtpConnection::listed(const ServerFolder& folder, const std::string& name) {
  std::string listing;
  if (!list(folder, true, listing).ok) return false;
  for (std::string_view line : textLines(listing)) {
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.substr(line.find_last_of('/') + 1) == name) return true;
  }
  return false;
}

Outcome FtpConnection::replaceSftp(const ServerFolder& folder, const RemoteFile& from,
                                   const RemoteFile& to, bool look) {
  const std::string fromPath = from.folder.sftpPath(from.name);
  const std::string toPath = to.folder.sftpPath(to.name);
  const SftpReplaceResult result = replacer().replace(fromPath, toPath);
  const std::string key = options_.address.key();
  const bool known =
      !options_.noOneStepPath.empty() && readServerList(options_.noOneStepPath).contains(key);
  if (result == SftpReplaceResult::Replaced) {
    if (known) forgetServer(options_.noOneStepPath, key);
    Outcome replaced;
    replaced.ok = true;
    return replaced;
  }
  // No one-step replace: the old file goes only now that its replacement is there, just
  // before the plain rename. A file that is not there deletes nothing: the plain rename
  // alone says what the server makes of it. A file renamed to itself stays as it is.
  const std::string rename = "rename " + sftpQuote(fromPath) + " " + sftpQuote(toPath);
  Outcome second;
  if (look && !listed(from.folder, from.name)) {
    second = runCommands(folder, {rename});
  } else if (fromPath == toPath) {
    second = runCommands(folder, {});
  } else {
    second = runCommands(folder, {"*rm " + sftpQuote(toPath), rename});
  }
  if (result == SftpReplaceResult::NotOffered) {
    // Remembered only once said, which is on success.
    second.learnedDeleteFirst = !known && second.ok;
    if (second.learnedDeleteFirst && !options_.noOneStepPath.empty())
      rememberServer(options_.noOneStepPath, key);
  } else {
    second.oneStepFault = replacer_->detail();
    if (result == SftpReplaceResult::Failed) replacer_.reset();  // a new session next time
  }
  return second;
}

// The temporary arrived whole, so there is room for the graph: it goes up under its own
// name over the old one, which stays online until then. The server is remembered, so
// that later sessions store directly and leave no temporaries on it.
Outcome FtpConnection::storeDirectly(std::FILE* file, long size, const ServerFolder& folder,
                                     const std::string& name, bool text, const Outcome& refused) {
  Outcome direct = store(file, size, folder, name, text, {});
  runCommands(folder, {(sftp() ? "*rm " : "*DELE ") + quoted(folder, temporaryName(name))});
  if (!direct.ok) {
    if (direct.failure == Failure::Broken) return direct;
    // Both were refused: the rename is what first went wrong.
    return {false, Failure::Rename, refused.reply, refused.detail, direct.bytes};
  }
  renames_ = false;
  direct.learnedNoRename = true;
  direct.direct = true;
  if (!options_.noRenamePath.empty()) rememberServer(options_.noRenamePath, options_.address.key());
  return direct;
}

void FtpConnection::removeLeftovers(const ServerFolder& folder) {
  if (std::find(cleaned_.begin(), cleaned_.end(), folder) != cleaned_.end()) return;
  cleaned_.push_back(folder);
  std::string listing;
  if (!list(folder, true, listing).ok) return;
  std::vector<std::string> removals;
  const std::string suffix = temporaryName("");
  for (std::string_view line : textLines(listing)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    const std::string_view base = line.substr(line.find_last_of('/') + 1);
    if (base.size() > suffix.size() && base.ends_with(suffix))
      removals.push_back((sftp() ? "*rm " : "*DELE ") + quoted(folder, std::string(base)));
  }
  if (!removals.empty()) runCommands(folder, removals);
}

// The session that failed may have died with the upload (a server process ended by its
// file size limit, or one that is still going away): when the connection fails, the
// later tries are on new ones, a moment apart. A refusal on that old session may be its
// dying words (vsftpd's "500 OOPS"); on a new one the server has the last word.
void FtpConnection::removeTemporary(const ServerFolder& folder, const std::string& path) {
  const std::string remove = (sftp() ? "rm " : "DELE ") + path;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300 * attempt));
      curl_easy_setopt(handle_, CURLOPT_FRESH_CONNECT, 1L);
    }
    const Outcome removed = runCommands(folder, {remove});
    curl_easy_setopt(handle_, CURLOPT_FRESH_CONNECT, 0L);
    if (removed.ok || (removed.commandRefused && attempt > 0)) return;
  }
}

}  // namespace radmon::ftp
