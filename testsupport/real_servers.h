// The FTP and SFTP servers that web hosts run, started from Debian's own programs on
// 127.0.0.1 for a test: vsftpd (plain or explicit TLS, optionally slowed), pure-ftpd
// with TLS, proftpd (with commands denied), and OpenSSH's sshd
// with its built-in SFTP. They log in a test account
// (made for the test and removed after it, so the tests need root) whose home is the
// test's own folder; certificates and host keys are generated at test time.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace radmon::ftp::testing {

// Every process of the machine with its parent, (process, parent), as /proc tells them.
std::vector<std::pair<pid_t, pid_t>> processParents();

// A system account for the servers to log in, removed again when the object goes. Each
// test program has one of its own, named after its process, so that programs run side
// by side never share an account (nor its process limit).
class TestAccount {
 public:
  static constexpr const char* kPassword = "gm tube 47";
  // "radmontest" and the process id.
  static std::string user();

  // An error text when it cannot be made (not root, useradd missing).
  std::optional<std::string> create(const std::filesystem::path& home);
  ~TestAccount();

 private:
  bool created_ = false;
};

// A self-signed certificate for 127.0.0.1 and its key, made with the openssl program.
struct TestCertificate {
  std::filesystem::path certificate, key;
  std::string fingerprint;  // SHA-256 as openssl prints it, "AB:CD:…"
};
std::optional<TestCertificate> makeCertificate(const std::filesystem::path& folder,
                                               const std::string& name);

// A test program's folder, with the account's home in it and a certificate: made once
// for all the tests of a program, removed with everything in it at the end.
class ServerHome {
 public:
  // An error text when the account or the certificate cannot be made.
  std::optional<std::string> create(const std::string& prefix);
  ~ServerHome();
  // pub/graph empty in the home, owned by the account.
  void freshFolders() const;
  std::filesystem::path dir, home;
  TestCertificate certificate;

 private:
  TestAccount account_;
};

enum class ServerKind { VsftpdPlain, VsftpdTls, PureFtpdTls, Sshd, Proftpd };

struct ServerChoice {
  ServerKind kind = ServerKind::VsftpdPlain;
  int maxBytesPerSecond = 0;     // vsftpd: 0 unlimited
  long maxFileBytes = 0;         // vsftpd: a file size limit, as a full disk would set
  unsigned port = 0;             // 0: a free one; else the port of an earlier server
  std::string denied{};          // proftpd: commands refused to everyone, e.g. "RNFR RNTO DELE"
  std::filesystem::path root{};  // pyftpdlib: the account's home
  // sshd: options of its SFTP server, e.g. "-P posix-rename" to hide that extension
  std::string sftpOptions{};
  // sshd: the processes the account may have at once (0: no limit), as on shared hosts
  // whose limit lets a login hold one SFTP session (two processes) and no second one
  int accountProcesses = 0;
};

// One server process group; stopped (all of it) when the object goes.
class RealServer {
 public:
  RealServer() = default;
  ~RealServer() { stop(); }
  RealServer(const RealServer&) = delete;
  RealServer& operator=(const RealServer&) = delete;

  // Serves the test account's home; `work` holds its settings and log. An error text
  // when the server cannot be started.
  std::optional<std::string> start(const ServerChoice& choice, const std::filesystem::path& work,
                                   const TestCertificate* certificate);
  void stop();
  // Freezes or resumes every process of the server: a server that stalls.
  void pause(bool paused);
  // Kills the sessions of logged-in clients; the server itself goes on listening.
  void endSessions();
  unsigned port() const { return port_; }
  // What goes into the server box: "127.0.0.1 PORT" or "sftp://127.0.0.1:PORT".
  std::string serverText() const;

 private:
  std::optional<std::string> launch(const std::vector<std::string>& argv,
                                    const std::filesystem::path& log);
  ServerKind kind_ = ServerKind::VsftpdPlain;
  pid_t pid_ = -1;
  unsigned port_ = 0;
};

inline constexpr const char* kServerNames[] = {"vsftpd", "vsftpd_tls", "pure_ftpd_tls",
                                               "sshd",   "proftpd",    "pyftpdlib_throttled"};

// GoogleTest prints a server kind by its name in parameters and failed comparisons.
inline void PrintTo(ServerKind kind, std::ostream* os) {
  *os << kServerNames[static_cast<int>(kind)];
}

}  // namespace radmon::ftp::testing
