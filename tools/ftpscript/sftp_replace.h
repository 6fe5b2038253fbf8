// Replaces a file on an SFTP server in one step, with OpenSSH's posix-rename@openssh.com
// extension: libcurl's SFTP (libssh2) and libssh's own rename send the plain SFTP v3
// rename, which OpenSSH refuses over an existing file. The request goes over an SSH
// session of its own (libssh), kept for the next replaces; it logs in as libcurl's
// session did and takes only the host key that session accepted. The session is made on
// a thread of its own from `prepare` on, so that its handshake and login go on while the
// file is sent; `replace` waits for it.
#pragma once

#include <libssh/libssh.h>

#include <cstdint>
#include <string>
#include <thread>

namespace radmon::ftp {

struct SftpLogin {
  std::string host;
  unsigned port = 22;
  std::string user;
  std::string password;  // with a key file: the key's passphrase, if any
  std::string keyFile;   // empty: password (or keyboard-interactive) login
  // The host key libcurl's handshake accepted: its type and "SHA256:…" fingerprint.
  // Empty fingerprint: no key was checked there, none is here.
  std::string hostKeyType;
  std::string hostKeyFingerprint;
  int timeoutSeconds = 45;
};

enum class SftpReplaceResult {
  Replaced,    // the file was replaced in one step
  NotOffered,  // the server lacks the extension: the caller replaces otherwise
  Refused,     // the server refused the request (status and its message in detail())
  Failed,      // no session (connection, host key, login) or it broke: see detail()
};

class SftpReplace {
 public:
  explicit SftpReplace(SftpLogin login);
  ~SftpReplace();
  SftpReplace(const SftpReplace&) = delete;
  SftpReplace& operator=(const SftpReplace&) = delete;

  // Starts making the session, unless it is made or being made.
  void prepare();
  // Renames `from` over `to` (paths as the server takes them: relative ones count from
  // the login folder).
  SftpReplaceResult replace(const std::string& from, const std::string& to);
  // What went wrong in the last replace, in libssh's or the server's words.
  const std::string& detail() const { return detail_; }

 private:
  bool open();
  void close();
  bool send(const std::string& packet);
  // One whole packet's body (type byte first); false: the session broke or timed out.
  bool receive(std::string& body);

  SftpLogin login_;
  std::thread opening_;  // runs open(); joined before the session is used or closed
  bool opened_ = false;  // open() succeeded; read after opening_ is joined
  ssh_session session_ = nullptr;
  ssh_channel channel_ = nullptr;
  bool offered_ = false;
  uint32_t nextId_ = 1;
  std::string detail_;
};

}  // namespace radmon::ftp
