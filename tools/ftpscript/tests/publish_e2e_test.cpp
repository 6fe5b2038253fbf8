// Publishing that never breaks the page, against real servers on 127.0.0.1: a proftpd
// that refuses rename (and delete) still gets the new graph and learns to store
// directly; OpenSSH replaces the graph (and a script's rename target) in one step, or,
// without its extension or a second session, deletes it just before the rename; a second
// session answered by a server with another host key is refused before the login; a broken
// run's temporaries go with the next run; a transfer broken once is sent again and
// arrives.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "build_paths.h"
#include "local_ftp_server.h"
#include "real_servers.h"

namespace radmon::ftp::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kGraph = "μSVHGraph_20261201.jpg";

std::string bytesOfSize(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 37 + seed) % 253);
  return bytes;
}

class Publish : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = new ServerHome;
    if (auto error = home_->create("ftpscript_publish")) setupError_ = *error;
  }
  static void TearDownTestSuite() {
    delete home_;
    home_ = nullptr;
  }
  void SetUp() override {
    if (!setupError_.empty()) GTEST_SKIP() << setupError_;
    work_ = home_->dir / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(work_);
    fs::create_directories(work_ / "station");
    home_->freshFolders();
  }

  fs::path folder() const { return home_->home / "pub" / "graph"; }
  fs::path onServer(const std::string& name = kGraph) const { return folder() / name; }
  // A file put on the server as the account's own, as an earlier upload would have.
  void plant(const fs::path& path, const std::string& bytes) const {
    std::ofstream(path, std::ios::binary) << bytes;
    runProgram({"/bin/chown", TestAccount::user(), path.string()}, 10s);
  }
  std::string writeGraph(std::size_t size, unsigned seed, const std::string& name = kGraph) const {
    const std::string bytes = bytesOfSize(size, seed);
    std::ofstream(work_ / name, std::ios::binary) << bytes;
    return bytes;
  }
  // dayplot's script for `server` and the graph `name`, with ftpscript's options `extra`;
  // `before` goes in front of the command (e.g. a timeout).
  ProgramRun run(const RealServer& server, std::vector<std::string> extra = {},
                 const std::string& name = kGraph, std::vector<std::string> before = {}) const {
    return runScript(
        server,
        "cd pub\\graph\r\nbin\r\nmput \"" + (work_ / name).string() + "\"\r\ndisconnect\r\nbye\r\n",
        extra, before);
  }
  // A script with `body` after the login.
  ProgramRun runScript(const RealServer& server, const std::string& body,
                       std::vector<std::string> extra = {},
                       std::vector<std::string> before = {}) const {
    return runScriptAt(server.serverText(), body, extra, before);
  }
  // The same for the server box's text `serverText`.
  ProgramRun runScriptAt(const std::string& serverText, const std::string& body,
                         std::vector<std::string> extra = {},
                         std::vector<std::string> before = {}) const {
    const fs::path script = work_ / "station" / "oldtemp.sys";
    std::ofstream(script, std::ios::binary) << "OPEN " << serverText << "\r\n"
                                            << TestAccount::user() << "\r\n"
                                            << TestAccount::kPassword << "\r\n"
                                            << body;
    std::vector<std::string> argv = before;
    argv.insert(argv.end(),
                {::radmon::testing::programDir() + "/ftpscript", "-i", "-s:" + script.string()});
    argv.insert(argv.end(), extra.begin(), extra.end());
    return runProgram(argv, 280s);
  }

  static inline ServerHome* home_ = nullptr;
  static inline std::string setupError_;
  fs::path work_;
  RealServer server_;
};

TEST_F(Publish, ServerThatRefusesRenameGetsTheGraphAndIsThenStoredDirectly) {
  struct Case {
    const char* denied;
    bool deletes;  // the account may delete: no temporary is left
  };
  for (const Case& c : {Case{"RNFR RNTO", true}, Case{"RNFR RNTO DELE", false}}) {
    SCOPED_TRACE(c.denied);
    home_->freshFolders();
    fs::remove(work_ / "station" / "ftpscript_no_rename.txt");
    ASSERT_FALSE(server_.start({.kind = ServerKind::Proftpd, .denied = c.denied}, work_, nullptr));
    plant(onServer(), "the graph online");

    std::string firstTemporary;
    for (unsigned i = 0; i < 3; ++i) {
      const std::string sent = writeGraph(60 * 1024, i);
      const ProgramRun r = run(server_);
      EXPECT_EQ(r.status, 0) << r.output;
      EXPECT_TRUE(readBytes(onServer()) == sent) << r.output;
      // Told once, on the run that found it out.
      EXPECT_EQ(r.output.find("直接上書きします") != std::string::npos, i == 0) << r.output;
      const fs::path temporary = onServer(std::string(kGraph) + ".uploading");
      if (i == 0 && !c.deletes) firstTemporary = readBytes(temporary);
      // Later runs make no temporary: what is left is the first run's, if any.
      EXPECT_EQ(fs::exists(temporary), !c.deletes) << r.output;
      if (fs::exists(temporary)) {
        EXPECT_TRUE(readBytes(temporary) == firstTemporary);
      }
    }
    EXPECT_NE(readBytes(work_ / "station" / "ftpscript_no_rename.txt")
                  .find("127.0.0.1:" + std::to_string(server_.port())),
              std::string::npos);
    server_.stop();
  }
}

TEST_F(Publish, RenameAndDirectStoreBothRefusedKeepTheGraphAndNameTheRename) {
  ASSERT_FALSE(server_.start({.kind = ServerKind::Proftpd, .denied = "RNFR RNTO"}, work_, nullptr));
  // The graph online belongs to someone else: the account may not overwrite it.
  std::ofstream(onServer(), std::ios::binary) << "the graph online";
  writeGraph(20 * 1024, 8);
  const ProgramRun r = run(server_);
  EXPECT_EQ(r.status, 10) << r.output;
  EXPECT_NE(r.output.find("ファイル名の変更"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("書き込みを拒否"), std::string::npos) << r.output;
  EXPECT_EQ(readBytes(onServer()), "the graph online");
  EXPECT_FALSE(fs::exists(onServer(std::string(kGraph) + ".uploading")));
  EXPECT_FALSE(fs::exists(work_ / "station" / "ftpscript_no_rename.txt"));
}

TEST_F(Publish, TemporariesOfABrokenRunGoWithTheNextRun) {
  // Yesterday's graph, ended by SIGTERM two seconds into its upload at 20 KB/s.
  ASSERT_FALSE(server_.start({ServerKind::VsftpdPlain, 20000}, work_, nullptr));
  const std::string yesterday = "μSVHGraph_20261130.jpg";
  writeGraph(300 * 1024, 9, yesterday);
  const ProgramRun broken = run(server_, {}, yesterday, {"/usr/bin/timeout", "-s", "TERM", "2"});
  EXPECT_NE(broken.status, 0) << broken.output;
  ASSERT_TRUE(fs::exists(onServer(yesterday + ".uploading"))) << broken.output;
  plant(onServer("notes.txt"), "not ours");
  plant(home_->home / "pub" / "elsewhere.jpg.uploading", "not where we upload");

  const std::string sent = writeGraph(20 * 1024, 6);
  const ProgramRun r = run(server_);
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(readBytes(onServer()) == sent) << r.output;
  EXPECT_FALSE(fs::exists(onServer(yesterday + ".uploading")));
  EXPECT_TRUE(fs::exists(onServer("notes.txt")));
  EXPECT_TRUE(fs::exists(home_->home / "pub" / "elsewhere.jpg.uploading"));
  // A run that ended cleanly asks for no clean-up: the next one lists nothing.
  plant(onServer("other.jpg.uploading"), "someone else's");
  EXPECT_EQ(run(server_).status, 0);
  EXPECT_TRUE(fs::exists(onServer("other.jpg.uploading")));
}

TEST_F(Publish, TransferBrokenOnceIsSentAgainAndArrives) {
  // vsftpd at 40 KB/s: the session is killed a second into the upload.
  ASSERT_FALSE(server_.start({ServerKind::VsftpdPlain, 40000}, work_, nullptr));
  plant(onServer(), "the graph online");
  const std::string sent = writeGraph(300 * 1024, 7);
  std::thread cut([this] {
    std::this_thread::sleep_for(1500ms);
    server_.endSessions();
  });
  const ProgramRun r = run(server_);
  cut.join();
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("送り直しました"), std::string::npos) << r.output;
  EXPECT_TRUE(readBytes(onServer()) == sent) << r.output;
  EXPECT_FALSE(fs::exists(onServer(std::string(kGraph) + ".uploading")));
}

// The events that took the graph's name away (deleted, or renamed to something else) in
// what the watch `fd` has queued.
int graphGoneEvents(int fd) {
  int gone = 0;
  alignas(inotify_event) char buffer[64 * 1024];
  for (ssize_t length; (length = ::read(fd, buffer, sizeof buffer)) > 0;) {
    for (char* at = buffer; at < buffer + length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(at);
      if (event->len > 0 && std::string(event->name) == kGraph &&
          (event->mask & (IN_DELETE | IN_MOVED_FROM)) != 0)
        ++gone;
      at += sizeof(inotify_event) + event->len;
    }
  }
  return gone;
}

// Waits (up to 10 s) until the test account runs no process. The sessions of a run that
// outlive their parent come to this process (made their subreaper) and are reaped here:
// a zombie still counts against the account's process limit.
void waitForIdleAccount() {
  const passwd* account = ::getpwnam(TestAccount::user().c_str());
  if (account == nullptr) return;
  for (const auto deadline = Clock::now() + 10s; Clock::now() < deadline;) {
    bool busy = false;
    for (const auto& [process, parent] : processParents()) {
      struct stat info {};
      const std::string path = "/proc/" + std::to_string(process);
      if (::stat(path.c_str(), &info) != 0 || info.st_uid != account->pw_uid) continue;
      if (parent == ::getpid()) ::waitpid(process, nullptr, WNOHANG);
      busy = true;
    }
    if (!busy) return;
    std::this_thread::sleep_for(20ms);
  }
}

TEST_F(Publish, SftpReplacesTheGraphInOneStepOrDeletesItJustBeforeTheRename) {
  enum class Replace { OneStep, NotOffered, SessionFails };
  struct Case {
    const char* name;
    ServerChoice server;
    Replace replace;
  };
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  for (const Case& c : {Case{"posix-rename", {.kind = ServerKind::Sshd}, Replace::OneStep},
                        Case{"no posix-rename",
                             {.kind = ServerKind::Sshd, .sftpOptions = "-P posix-rename"},
                             Replace::NotOffered},
                        // The account may run two processes: libcurl's session, and no second one.
                        Case{"one session per login",
                             {.kind = ServerKind::Sshd, .accountProcesses = 2},
                             Replace::SessionFails}}) {
    SCOPED_TRACE(c.name);
    if (c.server.accountProcesses > 0) waitForIdleAccount();
    home_->freshFolders();
    fs::remove(work_ / "station" / "ftpscript_no_one_step.txt");
    ASSERT_FALSE(server_.start(c.server, work_, nullptr));
    plant(onServer(), "the graph online");
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, folder().c_str(), IN_DELETE | IN_MOVED_FROM), 0);
    // Without the extension the operator is told once, on the run that found it out; a
    // replace that failed is told, with its cause, on every run.
    const auto expectNote = [&c](const ProgramRun& r, bool first) {
      const bool said = r.output.find("注意: SFTP") != std::string::npos;
      EXPECT_EQ(said,
                c.replace == Replace::SessionFails || (c.replace == Replace::NotOffered && first))
          << r.output;
      if (c.replace == Replace::SessionFails) {
        EXPECT_NE(r.output.find("一度で置き換えられなかったため"), std::string::npos) << r.output;
      }
    };

    constexpr int kUploads = 20;
    int gone = 0;
    std::string sent;
    double seconds = 0;  // in the runs, not in the waits between them
    for (int i = 0; i < kUploads; ++i) {
      sent = writeGraph(60 * 1024, static_cast<unsigned>(i));
      const auto begin = Clock::now();
      const ProgramRun r = run(server_);
      seconds += std::chrono::duration<double>(Clock::now() - begin).count();
      EXPECT_EQ(r.status, 0) << r.output;
      EXPECT_TRUE(readBytes(onServer()) == sent) << r.output;
      expectNote(r, i == 0);
      gone += graphGoneEvents(watch);
      if (c.replace == Replace::SessionFails) waitForIdleAccount();
    }
    std::cout << "sshd SFTP, " << c.name << ": " << kUploads << " uploads of 60 KiB in " << seconds
              << " s, " << seconds / kUploads << " s each\n";
    // One step: the name always stands for a whole graph. Otherwise each replace deleted
    // it first.
    EXPECT_EQ(gone, c.replace == Replace::OneStep ? 0 : kUploads);
    EXPECT_FALSE(fs::exists(onServer(std::string(kGraph) + ".uploading")));

    // A script's own rename replaces the graph the same way; the rename of a file that is
    // not there fails, and one to its own name succeeds, both leaving the graph alone.
    plant(onServer("new.jpg"), "renamed over the graph");
    const std::string graph = kGraph;
    const ProgramRun renamed = runScript(
        server_, "cd pub/graph\r\nrename new.jpg " + graph + "\r\nrename missing.jpg " + graph +
                     "\r\nrename " + graph + " ../graph/" + graph + "\r\nbye\r\n");
    EXPECT_EQ(renamed.status, 10) << renamed.output;
    EXPECT_NE(renamed.output.find("行 6 rename"), std::string::npos) << renamed.output;
    expectNote(renamed, false);
    EXPECT_EQ(readBytes(onServer()), "renamed over the graph");
    EXPECT_FALSE(fs::exists(onServer("new.jpg")));
    EXPECT_EQ(graphGoneEvents(watch), c.replace == Replace::OneStep ? 0 : 1);
    ::close(watch);
    server_.stop();
  }
  waitForIdleAccount();
  ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

// A man in the middle on 127.0.0.1: the first connection goes through to the real server,
// every later one to `later`, as an attacker who lets the checked session pass and takes
// the next would have it.
class SplittingProxy {
 public:
  SplittingProxy(unsigned first, unsigned later) : first_(first), later_(later) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return;
    port_ = ntohs(address.sin_port);
    accepting_ = std::thread([this] { accept(); });
  }
  ~SplittingProxy() {
    stopping_ = true;
    if (accepting_.joinable()) accepting_.join();
    for (std::thread& relay : relays_) relay.join();
    if (listener_ >= 0) ::close(listener_);
  }
  unsigned port() const { return port_; }
  int taken() const { return taken_; }  // connections sent to `later`

 private:
  static sockaddr_in loopback(unsigned port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
  }
  void accept() {
    for (bool first = true; !stopping_;) {
      pollfd waiting{listener_, POLLIN, 0};
      if (::poll(&waiting, 1, 100) <= 0) continue;
      const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
      const sockaddr_in target = loopback(first ? first_ : later_);
      if (!first) ++taken_;
      first = false;
      if (server < 0 ||
          ::connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
        ::close(client);
        if (server >= 0) ::close(server);
        continue;
      }
      relays_.emplace_back([this, client, server] { relay(client, server); });
    }
  }
  // Bytes both ways until either side ends.
  void relay(int a, int b) {
    pollfd ends[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
    char buffer[16384];
    for (bool open = true; open && !stopping_;) {
      if (::poll(ends, 2, 100) <= 0) continue;
      for (int i = 0; i < 2 && open; ++i) {
        if ((ends[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
        const ssize_t got = ::read(ends[i].fd, buffer, sizeof buffer);
        open = got > 0 &&
               ::send(ends[1 - i].fd, buffer, static_cast<size_t>(got), MSG_NOSIGNAL) == got;
      }
    }
    ::close(a);
    ::close(b);
  }

  unsigned first_, later_, port_ = 0;
  int listener_ = -1;
  std::atomic<bool> stopping_{false};
  std::atomic<int> taken_{0};
  std::thread accepting_;
  std::vector<std::thread> relays_;  // touched by the accepting thread alone until it ends
};

// The one-step session is made after libcurl's, so a second server with another key could
// answer it: it is refused before the password is sent, the operator is told with the
// key it showed, and the graph goes up through the session whose key was checked.
TEST_F(Publish, OneStepSessionRefusesAServerWhoseHostKeyDiffersFromTheCheckedOne) {
  ASSERT_FALSE(server_.start({.kind = ServerKind::Sshd}, work_, nullptr));
  RealServer impostor;
  const fs::path impostorWork = work_ / "impostor";
  fs::create_directories(impostorWork);
  ASSERT_FALSE(impostor.start({.kind = ServerKind::Sshd}, impostorWork, nullptr));
  const ProgramRun print = runProgram(
      {"/usr/bin/ssh-keygen", "-l", "-f", (impostorWork / "ssh_host_key.pub").string()}, 10s);
  const auto at = print.output.find("SHA256:");
  ASSERT_NE(at, std::string::npos) << print.output;
  const std::string impostorKey = print.output.substr(at, print.output.find(' ', at) - at);

  SplittingProxy proxy(server_.port(), impostor.port());
  ASSERT_NE(proxy.port(), 0u);
  plant(onServer(), "the graph online");
  const std::string sent = writeGraph(60 * 1024, 3);
  const ProgramRun r =
      runScriptAt("sftp://127.0.0.1:" + std::to_string(proxy.port()),
                  "cd pub\\graph\r\nbin\r\nmput \"" + (work_ / kGraph).string() + "\"\r\nbye\r\n",
                  {"-p:" + (work_ / "station" / "dayplot_publish.ini").string()});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(readBytes(onServer()) == sent) << r.output;
  // The real server's key, seen first, was kept; the second's was never taken.
  EXPECT_NE(readBytes(work_ / "station" / "dayplot_known_hosts").find("[127.0.0.1]:"),
            std::string::npos);
  EXPECT_GE(proxy.taken(), 1) << "the one-step session never reached the second server";
  EXPECT_NE(r.output.find("一度で置き換えられなかったため"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find(impostorKey), std::string::npos) << impostorKey << "\n" << r.output;
  impostor.stop();
  const std::string log = readBytes(impostorWork / "sshd.log");
  EXPECT_EQ(log.find("Accepted"), std::string::npos) << log;
  EXPECT_FALSE(fs::exists(onServer(std::string(kGraph) + ".uploading")));
}

}  // namespace
}  // namespace radmon::ftp::testing
