// One session with the server on one libcurl handle, over FTP (TLS when offered or
// required) or SFTP: libcurl keeps the connection open between requests on the same
// handle, so a script's steps log in once. Every failure comes back as a cause the
// operator can act on, with the server's whole reply; the password never appears in
// any of it.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ftp_script.h"
#include "host_keys.h"
#include "outcome_text.h"
#include "publish_settings.h"
#include "server_address.h"
#include "server_folder.h"
#include "sftp_replace.h"
#include "tls_trust.h"

namespace radmon::ftp {

struct SessionOptions {
  ServerAddress address;
  Login login;
  int stallSeconds = 45;  // a silent server or a transfer that stops moving
  bool verbose = false;
  PublishSettings publish;
  std::string settingsPath;  // where the TLS memory and known hosts live; empty: none
  // The servers that refused to rename, one key a line; empty: nothing remembered.
  std::string noRenamePath;
  // The servers whose last session may have left temporaries (it ended before its
  // uploads were done, or one failed), one key a line; empty: nothing remembered.
  std::string unfinishedPath;
  // An SSH host key fingerprint ("SHA256:…") accepted for this run instead of the kept key.
  std::string hostKeyOnce;
  bool askNewHostKeys = false;  // a key seen first is refused unless trusted (-k)
  // The SFTP servers found to offer no one-step replace, one key a line; empty: none kept.
  std::string noOneStepPath;
};

class FtpConnection {
 public:
  explicit FtpConnection(const SessionOptions& options);
  ~FtpConnection();
  FtpConnection(const FtpConnection&) = delete;
  FtpConnection& operator=(const FtpConnection&) = delete;

  // Connects and logs in when not yet done, then checks the folder: a missing folder
  // fails here, before any upload.
  Outcome checkFolder(const ServerFolder& folder);

  // Sends the local file into `folder` under `name`, in ASCII mode when `text`: first
  // under a temporary name, renamed over `name` when complete. An FTP server that refuses
  // the rename gets `name` stored directly, and is remembered so that later sessions
  // store directly. SFTP replaces in one step (OpenSSH's posix-rename); a server without
  // it has the old file deleted just before the rename. A broken transfer is sent again at once, up
  // to twice. On failure the temporary is removed and the file on the server stays as it was. Where
  // the server's last session ended unfinished, the first upload into each folder is followed by
  // the removal of the temporaries left there.
  Outcome upload(const std::string& localPath, const ServerFolder& folder, const std::string& name,
                 bool text);

  // Runs server commands (FTP: as written, e.g. "MKD x"; SFTP: libcurl's "mkdir", "rm",
  // "rename") in `folder`, after logging in when not yet done.
  Outcome serverCommands(const ServerFolder& folder, const std::vector<std::string>& commands);
  // SFTP: renames `from` over `to` (each counted from `folder`, or from the top when it
  // starts with '/'), replacing `to` as an FTP server would: in one step where the server
  // offers it; else, once `from` is seen to be there, `to` is deleted just before the
  // plain rename (which OpenSSH refuses over an existing file).
  Outcome renameOver(const ServerFolder& folder, const std::string& from, const std::string& to);
  // Downloads `name` from `folder` into `localPath`, through a temporary beside it.
  Outcome download(const ServerFolder& folder, const std::string& name,
                   const std::string& localPath, bool text);
  // The folder's listing: names only, or the server's long form.
  Outcome list(const ServerFolder& folder, bool namesOnly, std::string& listing);
  // A file's path as commands take it: FTP counts from the folder, SFTP from the top.
  std::string commandPath(const ServerFolder& folder, const std::string& name) const;
  bool sftp() const { return options_.address.transport == Transport::Sftp; }

  // Whether the session's control connection is encrypted (FTP) or SSH (SFTP).
  bool encrypted() const { return tls_ || options_.address.transport == Transport::Sftp; }
  // The certificate seen in the last handshake, with its fault when it failed.
  const TrustCheck& certificate() const { return trust_; }
  // What the last SSH handshake made of the server's host key.
  const HostKeyCheck& hostKey() const { return hostKey_; }
  // Whether the trusted certificate file could be used.
  CertificateFileFault trustFileFault() const { return trustFileFault_; }

  // The temporary name `name` is uploaded under.
  static std::string temporaryName(const std::string& name);

 private:
  static size_t onReply(char* data, size_t size, size_t count, void* self);
  static size_t onRead(char* buffer, size_t size, size_t count, void* self);
  static int onSocket(void* self, curl_socket_t socket, curlsocktype purpose);
  // The bytes the kernel still holds for the server on the upload's socket (SIOCOUTQ):
  // not yet sent, or sent and not yet acknowledged.
  long inFlight() const;
  // Whether the running upload has not moved for -t seconds; releases its held end once
  // nothing is in flight.
  bool uploadStalled();
  static int onDebug(CURL*, curl_infotype type, char* data, size_t size, void* self);
  std::string url(const ServerFolder& folder, const std::string& name = {}) const;
  // A file as a command after the transfer names it: FTP has changed into the folder,
  // SFTP needs the whole path.
  std::string quoted(const ServerFolder& folder, const std::string& name) const;
  Outcome perform();
  Outcome runCommands(const ServerFolder& folder, const std::vector<std::string>& commands);
  // One try of `upload`.
  Outcome sendOnce(std::FILE* file, long size, const ServerFolder& folder, const std::string& name,
                   bool text);
  // Stores the open file under `target` with `after` run once it has arrived.
  Outcome store(std::FILE* file, long size, const ServerFolder& folder, const std::string& target,
                bool text, const std::vector<std::string>& after);
  // One try of an SFTP upload: the temporary, then the replace.
  Outcome sendSftp(std::FILE* file, long size, const ServerFolder& folder, const std::string& name,
                   bool text);
  // A file on the server: the folder it is in, and its name there.
  struct RemoteFile {
    ServerFolder folder;
    std::string name;
  };
  // Renames `from` over `to` by the one-step replace, or else by deleting `to` just before
  // the plain rename, run from `folder`. `look`: `from` must be seen in its folder's
  // listing before `to` is deleted (else it is known to be there).
  Outcome replaceSftp(const ServerFolder& folder, const RemoteFile& from, const RemoteFile& to,
                      bool look);
  // The session of the one-step replace, made at first use with libcurl's login and the
  // host key its handshake accepted.
  SftpReplace& replacer();
  // Whether `name` is in the listing of `folder`.
  bool listed(const ServerFolder& folder, const std::string& name);
  // The rename was refused: `name` stored directly, the temporary removed.
  Outcome storeDirectly(std::FILE* file, long size, const ServerFolder& folder,
                        const std::string& name, bool text, const Outcome& refused);
  // Removes the temporaries in `folder` that broken runs left (once a session per folder).
  void removeLeftovers(const ServerFolder& folder);
  // Deletes what a failed upload left (`path` as the commands name it), in up to three tries.
  void removeTemporary(const ServerFolder& folder, const std::string& path);
  static size_t collect(char* data, size_t size, size_t count, void* text);
  Failure classify(CURLcode code) const;
  // Failure::HostKey or HostKeyNew for a refused host key, `otherwise` else.
  Failure hostKeyFailure(Failure otherwise) const;
  CURLcode runTransfer();

  SessionOptions options_;
  CURL* handle_;
  CURLM* multi_;
  bool remembered_ = false;  // the server offered TLS in an earlier session
  TrustCheck trust_;
  CertificateFileFault trustFileFault_ = CertificateFileFault::None;
  HostKeyCheck hostKey_;
  std::string reply_;
  bool replyOpen_ = false;  // inside a multi-line reply
  char errorText_[CURL_ERROR_SIZE] = {};
  bool tls_ = false;
  bool renames_ = true;  // false: the server refused to rename; files are stored directly
  std::vector<ServerFolder> cleaned_;  // folders whose leftovers this session removed
  bool unfinishedBefore_ = false;      // the last session to this server ended unfinished
  bool marked_ = false;                // this session is written down as unfinished
  bool allSent_ = true;                // every upload of this session succeeded

  // The upload being sent.
  struct Sending {
    bool watched = false;   // an upload: its pace is watched here, not by libcurl
    bool reading = false;   // its first bytes have been asked for
    bool held = false;      // the end of the file is held back: bytes are still in flight
    bool released = false;  // the last bytes are handed over: the reply is waited for
    bool drained = false;   // after the end, the server has taken all that was in flight
    curl_off_t sent = 0;
    long inFlight = 0;  // the least seen while held
    long size = 0;      // of the file
    std::chrono::steady_clock::time_point lastMove{};
  };
  // How long the server's reply after the file's end may take: the limit, and the time a
  // slow server needs to read what may still sit in its buffers (at most the file).
  long replyWaitAfterEnd(long size) const;
  Sending sending_;
  std::FILE* source_ = nullptr;
  std::unique_ptr<SftpReplace> replacer_;         // SFTP: made by replacer()
  curl_socket_t newestSocket_ = CURL_SOCKET_BAD;  // the last socket libcurl opened
};

}  // namespace radmon::ftp
