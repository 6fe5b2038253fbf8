#include "real_servers.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "local_ftp_server.h"

extern char** environ;

namespace radmon::ftp::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Where scripts/install-deps.sh unpacks pure-ftpd, which Debian will not install beside
// vsftpd (both are "the" FTP server of a machine).
constexpr const char* kPureFtpd = "/opt/radmon-test/pure-ftpd/usr/sbin/pure-ftpd";
constexpr const char* kProftpd = "/opt/radmon-test/proftpd/usr/sbin/proftpd";

// The process and everything it started: FTP servers put each session in a session of
// its own, out of reach of a signal to the server's process group.
std::vector<pid_t> withDescendants(pid_t root) {
  const auto parents = processParents();
  std::vector<pid_t> found{root};
  for (std::size_t i = 0; i < found.size(); ++i) {
    for (const auto& [process, parent] : parents) {
      if (parent == found[i]) found.push_back(process);
    }
  }
  return found;
}

void signalAll(pid_t root, int signal) {
  for (const pid_t process : withDescendants(root)) ::kill(process, signal);
}

}  // namespace

std::vector<std::pair<pid_t, pid_t>> processParents() {
  std::vector<std::pair<pid_t, pid_t>> parents;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 2));
    char state = 0;
    pid_t parent = 0;
    rest >> state >> parent;
    parents.emplace_back(static_cast<pid_t>(std::stol(name)), parent);
  }
  return parents;
}

std::string TestAccount::user() { return "radmontest" + std::to_string(::getpid()); }

std::optional<std::string> TestAccount::create(const fs::path& home) {
  if (::geteuid() != 0) return std::string("servers log in a test account: run as root");
  // Accounts left over by test programs that were killed: their process is gone.
  std::ifstream accounts("/etc/passwd");
  for (std::string line; std::getline(accounts, line);) {
    const std::string name = line.substr(0, line.find(':'));
    if (name.size() > 10 && name.starts_with("radmontest") &&
        name.find_first_not_of("0123456789", 10) == std::string::npos &&
        !fs::exists("/proc/" + name.substr(10)))
      runProgram({"/usr/sbin/userdel", name}, 30s);
  }
  const std::string name = user();
  runProgram({"/usr/sbin/userdel", name}, 30s);  // an earlier program of the same id
  const auto added =
      runProgram({"/usr/sbin/useradd", "-M", "-d", home.string(), "-s", "/bin/sh", name}, 30s);
  if (added.status != 0) return "useradd: " + added.output;
  created_ = true;
  const auto password = runProgram(
      {"/bin/sh", "-c", std::string("echo '") + name + ":" + kPassword + "' | /usr/sbin/chpasswd"},
      30s);
  if (password.status != 0) return "chpasswd: " + password.output;
  const auto owner = runProgram({"/bin/chown", "-R", name, home.string()}, 30s);
  if (owner.status != 0) return "chown: " + owner.output;
  return std::nullopt;
}

TestAccount::~TestAccount() {
  if (created_) runProgram({"/usr/sbin/userdel", user()}, 30s);
}

std::optional<TestCertificate> makeCertificate(const fs::path& folder, const std::string& name) {
  TestCertificate made{folder / (name + ".pem"), folder / (name + ".key"), {}};
  const auto run = runProgram(
      {"/usr/bin/openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
       made.key.string(), "-out", made.certificate.string(), "-days", "2", "-subj", "/CN=" + name},
      60s);
  if (run.status != 0) return std::nullopt;
  const fs::path print = folder / (name + ".sha256");
  runProgram({"/bin/sh", "-c",
              "/usr/bin/openssl x509 -noout -fingerprint -sha256 -in '" +
                  made.certificate.string() + "' | cut -d= -f2 > '" + print.string() + "'"},
             30s);
  made.fingerprint = readBytes(print);
  while (!made.fingerprint.empty() && made.fingerprint.back() == '\n') made.fingerprint.pop_back();
  if (made.fingerprint.size() != 95) return std::nullopt;
  return made;
}

std::optional<std::string> ServerHome::create(const std::string& prefix) {
  std::string pattern = "/tmp/" + prefix + "_XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) return std::string("mkdtemp failed");
  dir = pattern;
  // The account must reach its home through the test's folder.
  fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec);
  home = dir / "home";
  fs::create_directories(home);
  if (auto error = account_.create(home)) return error;
  auto made = makeCertificate(dir, "127.0.0.1");
  if (!made) return std::string("openssl cannot make a certificate");
  certificate = *made;
  return std::nullopt;
}

ServerHome::~ServerHome() {
  if (!dir.empty()) fs::remove_all(dir);
}

void ServerHome::freshFolders() const {
  fs::remove_all(home / "pub");
  fs::create_directories(home / "pub" / "graph");
  runProgram({"/bin/chown", "-R", TestAccount::user(), home.string()}, 10s);
}

std::optional<std::string> RealServer::launch(const std::vector<std::string>& argv,
                                              const fs::path& log) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);  // its own group: every session stops with it
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const int failed = ::posix_spawn(&pid_, args[0], &actions, &attributes, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) {
    pid_ = -1;
    return "cannot start " + argv.front() + " (scripts/install-deps.sh installs it)";
  }
  const auto deadline = std::chrono::steady_clock::now() + 15s;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return argv.front() + " ended at start:\n" + readBytes(log);
    }
    if (acceptsOnLoopback(port_)) return std::nullopt;
    std::this_thread::sleep_for(50ms);
  }
  stop();
  return argv.front() + " does not answer:\n" + readBytes(log);
}

std::optional<std::string> RealServer::start(const ServerChoice& choice, const fs::path& work,
                                             const TestCertificate* certificate) {
  kind_ = choice.kind;
  port_ = choice.port != 0 ? choice.port : freePort(10);
  if (port_ == 0) return std::string("no free ports");
  const std::string passiveLow = std::to_string(port_ + 1);
  const std::string passiveHigh = std::to_string(port_ + 10);
  const fs::path log = work / (std::string(kServerNames[static_cast<int>(kind_)]) + ".log");
  const bool tls = kind_ == ServerKind::VsftpdTls || kind_ == ServerKind::PureFtpdTls;
  if (tls && certificate == nullptr) return std::string("a TLS server needs a certificate");

  switch (kind_) {
    case ServerKind::VsftpdPlain:
    case ServerKind::VsftpdTls: {
      const fs::path conf = work / "vsftpd.conf";
      std::ofstream out(conf);
      out << "listen=YES\nlisten_address=127.0.0.1\nlisten_port=" << port_
          << "\nbackground=NO\nanonymous_enable=NO\nlocal_enable=YES\nwrite_enable=YES\n"
             "local_umask=022\npasv_min_port="
          << passiveLow << "\npasv_max_port=" << passiveHigh
          << "\nsecure_chroot_dir=/var/run/vsftpd/empty\npam_service_name=vsftpd\n"
             "seccomp_sandbox=NO\nxferlog_enable=YES\nlog_ftp_protocol=YES\nvsftpd_log_file="
          << (work / "vsftpd.log").string() << "\n";
      if (choice.maxBytesPerSecond > 0)
        out << "local_max_rate=" << choice.maxBytesPerSecond << "\n";
      if (tls) {
        out << "ssl_enable=YES\nrsa_cert_file=" << certificate->certificate.string()
            << "\nrsa_private_key_file=" << certificate->key.string()
            << "\nforce_local_logins_ssl=NO\nforce_local_data_ssl=NO\n";
      }
      out.close();
      std::vector<std::string> argv{"/usr/sbin/vsftpd", conf.string()};
      if (choice.maxFileBytes > 0) {
        argv.insert(argv.begin(),
                    {"/usr/bin/prlimit", "--fsize=" + std::to_string(choice.maxFileBytes)});
      }
      return launch(argv, log);
    }
    case ServerKind::PureFtpdTls: {
      // pure-ftpd wants key and certificate in one file.
      const fs::path both = work / "pure-ftpd.pem";
      std::ofstream(both) << readBytes(certificate->certificate) << readBytes(certificate->key);
      fs::permissions(both, fs::perms::owner_read | fs::perms::owner_write);
      return launch(
          {kPureFtpd, "-S", "127.0.0.1," + std::to_string(port_), "-p",
           passiveLow + ":" + passiveHigh, "-E", "-l", "unix", "-Y", "1", "-2", both.string()},
          log);
    }
    case ServerKind::Proftpd: {
      const fs::path conf = work / "proftpd.conf";
      std::ofstream out(conf);
      out << "ServerType standalone\nServerName radmontest\nDefaultAddress 127.0.0.1\nPort "
          << port_ << "\nUseIPv6 off\nUser nobody\nGroup nogroup\nPassivePorts " << passiveLow
          << " " << passiveHigh << "\nPidFile " << (work / "proftpd.pid").string()
          << "\nScoreboardFile " << (work / "proftpd.scoreboard").string()
          << "\nDelayTable none\nWtmpLog off\nAuthPAM off\nRequireValidShell off\n"
             "AuthOrder mod_auth_unix.c\nUmask 022\nAllowOverwrite on\nTransferLog none\n"
             "SocketBindTight on\n"
             "SystemLog "
          << (work / "proftpd.log").string() << "\n";
      if (!choice.denied.empty())
        out << "<Directory />\n  <Limit " << choice.denied << ">\n    DenyAll\n  </Limit>\n"
            << "</Directory>\n";
      out.close();
      return launch({kProftpd, "-n", "-q", "-c", conf.string()}, log);
    }
    case ServerKind::Sshd: {
      fs::create_directories("/run/sshd");  // sshd's privilege separation folder
      const fs::path key = work / "ssh_host_key";
      fs::remove(key);
      fs::remove(work / "ssh_host_key.pub");
      const auto made = runProgram(
          {"/usr/bin/ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", key.string()}, 30s);
      if (made.status != 0) return "ssh-keygen: " + made.output;
      const fs::path conf = work / "sshd_config";
      std::ofstream(conf) << "Port " << port_ << "\nListenAddress 127.0.0.1\nHostKey "
                          << key.string()
                          << "\nPidFile none\nUsePAM no\nPasswordAuthentication yes\n"
                             "KbdInteractiveAuthentication no\nStrictModes no\n"
                             "AuthorizedKeysFile "
                          << (work / "authorized_keys").string()
                          << "\nSubsystem sftp internal-sftp " << choice.sftpOptions
                          << "\nAllowUsers " << TestAccount::user() << "\n";
      std::vector<std::string> argv{"/usr/sbin/sshd", "-D", "-e", "-f", conf.string()};
      // Inherited by the sessions, which run as the account; sshd itself, as root, is exempt.
      if (choice.accountProcesses > 0)
        argv.insert(argv.begin(),
                    {"/usr/bin/prlimit", "--nproc=" + std::to_string(choice.accountProcesses)});
      return launch(argv, log);
    }
  }
  return std::string("unknown server");
}

void RealServer::pause(bool paused) {
  if (pid_ > 0) signalAll(pid_, paused ? SIGSTOP : SIGCONT);
}

void RealServer::endSessions() {
  if (pid_ < 0) return;
  const std::vector<pid_t> all = withDescendants(pid_);
  for (std::size_t i = 1; i < all.size(); ++i) ::kill(all[i], SIGKILL);
}

void RealServer::stop() {
  if (pid_ < 0) return;
  // Sessions first: once the server has gone they belong to init, out of sight.
  const std::vector<pid_t> all = withDescendants(pid_);
  for (const pid_t process : all) ::kill(process, SIGCONT);
  for (std::size_t i = 1; i < all.size(); ++i) ::kill(all[i], SIGKILL);
  ::kill(pid_, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + 3s;
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) != pid_) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(-pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(10ms);
  }
  pid_ = -1;
}

std::string RealServer::serverText() const {
  if (kind_ == ServerKind::Sshd) return "sftp://127.0.0.1:" + std::to_string(port_);
  return "127.0.0.1 " + std::to_string(port_);
}

}  // namespace radmon::ftp::testing
