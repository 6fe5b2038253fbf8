// ftpscript against the servers web hosts run (vsftpd, pure-ftpd, OpenSSH), started on
// 127.0.0.1: TLS that holds over many uploads, certificates refused until trusted, a
// server that drops TLS, a failed upload that leaves the graph in place, slow and
// stalled servers, SFTP, and what each failure is called.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "build_paths.h"
#include "local_ftp_server.h"
#include "real_servers.h"

namespace radmon::ftp::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string bytesOfSize(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + seed) % 251);
  return bytes;
}

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class ServerRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = new ServerHome;
    if (auto error = home_->create("ftpscript_servers")) setupError_ = *error;
  }
  static void TearDownTestSuite() {
    delete home_;
    home_ = nullptr;
  }

  void SetUp() override {
    if (!setupError_.empty()) GTEST_SKIP() << setupError_;
    dir_ = home_->dir;
    certificate_ = home_->certificate;
    work_ = dir_ / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(work_);
    home_->freshFolders();
    graph_ = work_ / "μSVHGraph.jpg";
    writeGraph(100 * 1024, 1);
    settings_ = work_ / "station" / "dayplot_publish.ini";
    fs::create_directories(settings_.parent_path());
  }
  void TearDown() override { server_.stop(); }

  std::optional<std::string> start(ServerKind kind, int rate = 0, long maxFile = 0,
                                   unsigned port = 0) {
    server_.stop();
    return server_.start({kind, rate, maxFile, port}, work_, &*certificate_);
  }
  void writeGraph(std::size_t size, unsigned seed) {
    std::ofstream(graph_, std::ios::binary) << bytesOfSize(size, seed);
  }
  void writeSettings(const std::string& text) { std::ofstream(settings_) << text; }
  fs::path onServer() const { return dir_ / "home" / "pub" / "graph" / "μSVHGraph.jpg"; }
  bool temporaryLeft() const {
    return fs::exists(dir_ / "home" / "pub" / "graph" / "μSVHGraph.jpg.uploading");
  }

  // The script as dayplot writes it, for the server box `server`, or with other lines
  // after the account.
  ProgramRun run(const std::string& server, const std::string& password = TestAccount::kPassword,
                 std::string body = {}) {
    if (body.empty())
      body = "cd pub\\graph\r\nbin\r\nmput \"" + graph_.string() + "\"\r\ndisconnect\r\nbye\r\n";
    const fs::path script = work_ / "oldtemp.sys";
    std::ofstream(script, std::ios::binary) << "OPEN " << server << "\r\n"
                                            << TestAccount::user() << "\r\n"
                                            << password << "\r\n"
                                            << body;
    std::vector<std::string> argv{::radmon::testing::programDir() + "/ftpscript", "-i",
                                  "-s:" + script.string(), "-p:" + settings_.string()};
    argv.insert(argv.end(), options_.begin(), options_.end());
    return runProgram(argv, 150s);
  }

  // The exit status, and each text the output must hold.
  static void expectRun(const ProgramRun& r, int status, const std::vector<std::string>& said) {
    EXPECT_EQ(r.status, status) << r.output;
    for (const auto& s : said)
      EXPECT_NE(r.output.find(s), std::string::npos) << s << "\n" << r.output;
  }

  // Two timed uploads in a row, the second replacing the first, and no temporary left.
  void uploadTwice(const std::string& name, const std::vector<std::string>& said) {
    for (unsigned i = 0; i < 2; ++i) {
      writeGraph(100 * 1024, i);
      const auto begin = Clock::now();
      expectRun(run(server_.serverText()), 0, said);
      EXPECT_EQ(readBytes(onServer()), readBytes(graph_));
      std::cout << name << ", 100 KB: " << secondsSince(begin) << " s\n";
    }
    EXPECT_FALSE(temporaryLeft());
  }

  static inline ServerHome* home_ = nullptr;
  static inline std::string setupError_;
  fs::path dir_, work_, graph_, settings_;
  std::optional<TestCertificate> certificate_;
  RealServer server_;
  std::vector<std::string> options_;  // more options for ftpscript
};

TEST_F(ServerRun, FiftyTlsUploadsToVsftpdInARowAllArrive) {
  ASSERT_FALSE(start(ServerKind::VsftpdTls)) << "server";
  writeSettings("TrustedFingerprints=" + certificate_->fingerprint + "\n");
  int succeeded = 0;
  const auto begin = Clock::now();
  for (unsigned i = 0; i < 50; ++i) {
    writeGraph(100 * 1024, i);
    const ProgramRun result = run(server_.serverText());
    if (result.status == 0 && readBytes(onServer()) == readBytes(graph_)) {
      ++succeeded;
    } else {
      ADD_FAILURE() << "upload " << i << ":\n" << result.output;
    }
  }
  const double each = secondsSince(begin) / 50;
  EXPECT_EQ(succeeded, 50);
  EXPECT_FALSE(temporaryLeft());
  std::cout << "vsftpd explicit TLS: " << succeeded << " of 50 uploads of 100 KB, " << each
            << " s each\n";
  RecordProperty("vsftpd_tls_ok_of_50", succeeded);
}

TEST_F(ServerRun, SelfSignedCertificateIsRefusedUntilTrusted) {
  ASSERT_FALSE(start(ServerKind::VsftpdTls));
  const ProgramRun refused = run(server_.serverText());
  std::string hex = certificate_->fingerprint;  // the line's form: no colons
  std::erase(hex, ':');
  expectRun(refused, 5,
            {"自己署名の証明書です", "certificate sha256=" + hex + "\n",
             "証明書の指紋 (SHA-256): " + certificate_->fingerprint});
  EXPECT_EQ(refused.output.find(TestAccount::kPassword), std::string::npos);
  EXPECT_FALSE(fs::exists(onServer()));

  // A certificate file that is not there, or holds no certificate, is said and trusts
  // nothing.
  std::ofstream(work_ / "not.pem") << "no certificate here\n";
  for (const auto& [file, says] :
       {std::pair{work_ / "missing.pem", "信頼する証明書のファイルを開けません: "},
        std::pair{work_ / "not.pem", "信頼する証明書のファイルに証明書 (PEM) がありません: "}}) {
    writeSettings("TrustedCertificateFile=" + file.string() + "\n");
    const ProgramRun unused = run(server_.serverText());
    expectRun(unused, 5, {says + file.string(), "自己署名の証明書です"});
  }

  // Trusted by its fingerprint, or by the certificate file the host handed out.
  for (const std::string& trust :
       {"TrustedFingerprints=" + certificate_->fingerprint,
        "TrustedCertificateFile=" + certificate_->certificate.string()}) {
    writeSettings(trust + "\n");
    const ProgramRun trusted = run(server_.serverText());
    EXPECT_EQ(trusted.status, 0) << trust << "\n" << trusted.output;
    EXPECT_NE(trusted.output.find("暗号化あり"), std::string::npos);
    EXPECT_EQ(readBytes(onServer()), readBytes(graph_));
  }
}

TEST_F(ServerRun, ServerThatOnceOfferedTlsAndNoLongerDoesIsRefused) {
  ASSERT_FALSE(start(ServerKind::VsftpdTls));
  writeSettings("TrustedFingerprints=" + certificate_->fingerprint + "\n");
  ASSERT_EQ(run(server_.serverText()).status, 0);
  fs::remove(onServer());

  // The same address without TLS: a machine in the middle that refuses AUTH.
  ASSERT_FALSE(start(ServerKind::VsftpdPlain, 0, 0, server_.port()));
  const ProgramRun stripped = run(server_.serverText());
  expectRun(stripped, 13, {"改ざん"});
  EXPECT_FALSE(fs::exists(onServer()));

  // Another station folder has not seen TLS there: plain FTP, unless TLS is required.
  settings_ = work_ / "other" / "dayplot_publish.ini";
  fs::create_directories(settings_.parent_path());
  writeSettings("TlsRequired=1\n");
  const ProgramRun required = run(server_.serverText());
  expectRun(required, 13, {"TLS が必須"});
  const ProgramRun ftps = run("ftps://127.0.0.1:" + std::to_string(server_.port()));
  EXPECT_NE(ftps.output.find("TLS が必須"), std::string::npos) << ftps.output;
  writeSettings("TlsRequired=0\n");
  const ProgramRun plain = run("127.0.0.1:" + std::to_string(server_.port()));
  expectRun(plain, 0, {"暗号化なし"});
}

TEST_F(ServerRun, FailedUploadLeavesTheEarlierGraphInPlace) {
  // Files end at 64 KiB on this server, as on a full disk.
  ASSERT_FALSE(start(ServerKind::VsftpdPlain, 0, 65536));
  writeGraph(30 * 1024, 1);
  ASSERT_EQ(run(server_.serverText()).status, 0);
  const std::string earlier = readBytes(graph_);

  writeGraph(100 * 1024, 2);
  const ProgramRun failed = run(server_.serverText());
  // The server's process ends at the limit: every try breaks.
  expectRun(failed, 12, {"μSVHGraph.jpg の転送", "transfer result=failed cause=broken "});
  EXPECT_EQ(readBytes(onServer()), earlier);
  EXPECT_FALSE(temporaryLeft()) << failed.output << readBytes(work_ / "vsftpd.log");
}

TEST_F(ServerRun, SlowServerCompletesAndStalledOneEndsWithinAMinute) {
  // vsftpd at 1000 bytes a second after the first 64 KiB, which it takes at once: the
  // 100 KiB graph takes longer than the old 30-second reply limit.
  ASSERT_FALSE(start(ServerKind::VsftpdPlain, 1000));
  writeGraph(100 * 1024, 3);
  auto begin = Clock::now();
  const ProgramRun slow = run(server_.serverText());
  const double slowSeconds = secondsSince(begin);
  EXPECT_EQ(slow.status, 0) << slow.output;
  EXPECT_EQ(readBytes(onServer()), readBytes(graph_));
  std::cout << "vsftpd at 1000 B/s, 100 KiB: " << slowSeconds << " s\n";
  EXPECT_GT(slowSeconds, 30.0) << "the server was not slow";

  // The same server frozen a second into the next upload: of a file too large to sit
  // whole in the two kernels' buffers once the server stops reading (they held 300 KiB
  // and more here). A file that does is taken, not read, and its reply waited for as a
  // slow host's (FtpscriptThrottled).
  writeGraph(4 * 1024 * 1024, 4);
  begin = Clock::now();
  std::thread freeze([this] {
    std::this_thread::sleep_for(1s);
    server_.pause(true);
  });
  const ProgramRun stalled = run(server_.serverText());
  freeze.join();
  const double stalledSeconds = secondsSince(begin);
  server_.pause(false);
  expectRun(stalled, 11, {"転送が止まったまま進みません", "transfer result=failed cause=stalled "});
  EXPECT_FALSE(stalled.timedOut);
  EXPECT_LT(stalledSeconds, 75.0);
  EXPECT_NE(readBytes(onServer()), readBytes(graph_));
  std::cout << "vsftpd frozen during an upload: ended after " << stalledSeconds << " s\n";
}

TEST_F(ServerRun, EachFailureIsCalledByItsCause) {
  ASSERT_FALSE(start(ServerKind::VsftpdPlain));
  const unsigned port = server_.port();
  const ProgramRun login = run(server_.serverText(), "wrong password");
  server_.stop();
  const ProgramRun refused = run(server_.serverText());
  struct Case {
    const char* name;
    const ProgramRun& run;
    const char* says;
    int status;
  };
  for (const Case& c : {Case{"login", login, "ユーザ名かパスワードが違います", 7},
                        Case{"refused", refused, "接続を拒否されました (127.0.0.1:", 3}}) {
    SCOPED_TRACE(c.name);
    expectRun(c.run, c.status, {std::string("行 1 OPEN: 接続とログイン: ") + c.says});
    EXPECT_EQ(c.run.output.find("wrong password"), std::string::npos);
  }
  ASSERT_FALSE(start(ServerKind::VsftpdPlain, 0, 0, port));
  fs::remove_all(dir_ / "home" / "pub");
  const ProgramRun folder = run(server_.serverText());
  EXPECT_EQ(folder.status, 8);
  EXPECT_NE(folder.output.find("行 4 cd: フォルダ pub/graph への移動: フォルダがないか"),
            std::string::npos)
      << folder.output;
  EXPECT_NE(folder.output.find("サーバの応答: 550"), std::string::npos) << folder.output;
}

TEST_F(ServerRun, PureFtpdOverTls) {
  ASSERT_FALSE(start(ServerKind::PureFtpdTls));
  writeSettings("TrustedCertificateFile=" + certificate_->certificate.string() + "\n");
  uploadTwice("pure-ftpd TLS", {"暗号化あり"});
}

TEST_F(ServerRun, SftpWithPasswordOrKeyAndAChangedHostKeyRefused) {
  ASSERT_FALSE(start(ServerKind::Sshd));
  uploadTwice("sshd SFTP", {});  // replaced in one step (posix-rename)

  const fs::path key = work_ / "station_key";
  ASSERT_EQ(
      runProgram({"/usr/bin/ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", key.string()}, 30s)
          .status,
      0);
  fs::copy_file(key.string() + ".pub", work_ / "authorized_keys");
  writeSettings("KeyFile=" + key.string() + "\n");
  writeGraph(50 * 1024, 7);
  const ProgramRun byKey = run(server_.serverText(), "");
  EXPECT_EQ(byKey.status, 0) << byKey.output;
  EXPECT_EQ(byKey.output.find("注意: SFTP"), std::string::npos) << byKey.output;  // one step
  EXPECT_EQ(readBytes(onServer()), readBytes(graph_));

  // The server commands of a hand-written script, by SFTP's own means.
  const ProgramRun commands =
      run(server_.serverText(), TestAccount::kPassword,
          "mkdir pub\\old\r\ncd pub\r\nrename graph/μSVHGraph.jpg \"old/kept graph.jpg\"\r\n"
          "lcd \"" +
              work_.string() +
              "\"\r\nget \"old/kept graph.jpg\" back.jpg\r\n"
              "delete \"old/kept graph.jpg\"\r\nls old\r\nquote NOOP\r\nbye\r\n");
  // quote has no SFTP meaning
  expectRun(commands, 1, {"SFTP の接続では FTP のコマンドを送れません"});
  EXPECT_EQ(readBytes(work_ / "back.jpg"), readBytes(graph_));
  EXPECT_TRUE(fs::is_directory(dir_ / "home" / "pub" / "old"));
  EXPECT_FALSE(fs::exists(dir_ / "home" / "pub" / "old" / "kept graph.jpg"));
  EXPECT_FALSE(fs::exists(onServer()));

  // A new host key at the same address.
  ASSERT_FALSE(start(ServerKind::Sshd, 0, 0, server_.port()));
  const ProgramRun changed = run(server_.serverText(), "");
  expectRun(changed, 6, {"鍵が以前と違います"});
}

// The key an sshd of the fixture serves (in `work`): its known-hosts fields and its
// fingerprint as `ssh-keygen -lf` shows it.
struct ServedKey {
  std::string typeAndKey;
  std::string fingerprint;
};
ServedKey servedKey(const fs::path& work) {
  const fs::path pub = work / "ssh_host_key.pub";
  std::string type, key, bits, print;
  std::ifstream(pub) >> type >> key;
  std::istringstream(runProgram({"/usr/bin/ssh-keygen", "-lf", pub.string()}, 30s).output) >>
      bits >> print;
  return {type + " " + key, print};
}

TEST_F(ServerRun, SshHostKeysKeptPerPortAChangedOneRefusedUntilTrusted) {
  ASSERT_FALSE(start(ServerKind::Sshd));
  RealServer second;
  const fs::path secondWork = work_ / "second";
  fs::create_directories(secondWork);
  ASSERT_FALSE(second.start({ServerKind::Sshd}, secondWork, &*certificate_));
  const ServedKey first = servedKey(work_);
  ServedKey other = servedKey(secondWork);
  ASSERT_NE(first.typeAndKey, other.typeAndKey);
  const fs::path knownHosts = settings_.parent_path() / "dayplot_known_hosts";
  const std::string firstName = "[127.0.0.1]:" + std::to_string(server_.port());
  const std::string otherName = "[127.0.0.1]:" + std::to_string(second.port());

  // Run as the window runs it (-k), a key seen first is refused with its fingerprint, for
  // the window to ask about, and not kept.
  options_ = {"-k"};
  expectRun(run(second.serverText()), 14,
            {"SSH サーバの鍵を初めて受け取りました (" + otherName + ")",
             "SSH ホスト鍵の指紋: " + other.fingerprint,
             "\nhost-key fingerprint=" + other.fingerprint + "\n"});
  EXPECT_FALSE(fs::exists(knownHosts));
  options_.clear();

  // An earlier version kept the first server's key by host alone: it still counts, and
  // moves to its port; the second server is new, said with its fingerprint, and kept.
  std::ofstream(knownHosts) << "127.0.0.1 " << first.typeAndKey << "\n";
  const ProgramRun known = run(server_.serverText());
  expectRun(known, 0, {});
  EXPECT_EQ(known.output.find("注意: SSH"), std::string::npos) << known.output;
  expectRun(run(second.serverText()), 0,
            {"注意: SSH サーバ " + otherName + " の鍵を初めて受け取り", other.fingerprint});
  EXPECT_EQ(readBytes(knownHosts),
            firstName + " " + first.typeAndKey + "\n" + otherName + " " + other.typeAndKey + "\n");
  expectRun(run(server_.serverText()), 0, {});
  expectRun(run(second.serverText()), 0, {});

  // The second one with a new key: refused with the fingerprint ssh-keygen shows, and
  // taken once it is trusted in the settings (or for one run).
  const unsigned secondPort = second.port();
  second.stop();
  ASSERT_FALSE(second.start({ServerKind::Sshd, 0, 0, secondPort}, secondWork, &*certificate_));
  other = servedKey(secondWork);
  const std::vector<std::string> refusal{
      "SSH サーバの鍵が以前と違います (" + otherName + ")", "TrustedHostKeys",
      "SSH ホスト鍵の指紋: " + other.fingerprint, "host-key fingerprint=" + other.fingerprint};
  expectRun(run(second.serverText()), 6, refusal);
  std::ofstream(settings_.parent_path() / "dayplot_trust_once.txt") << other.fingerprint;
  expectRun(run(second.serverText()), 0, {});
  expectRun(run(second.serverText()), 6, refusal);

  writeSettings("TrustedHostKeys=" + other.fingerprint + "\n");
  expectRun(run(second.serverText()), 0, {"鍵が替わりました", other.fingerprint});
  writeSettings("");
  expectRun(run(second.serverText()), 0, {});
  EXPECT_EQ(readBytes(knownHosts),
            firstName + " " + first.typeAndKey + "\n" + otherName + " " + other.typeAndKey + "\n");
  expectRun(run(server_.serverText()), 0, {});

  // A key marked revoked is refused with its own status, trusted or not, and not offered
  // for trust.
  writeSettings("TrustedHostKeys=" + first.fingerprint + "\n");
  std::ofstream(knownHosts, std::ios::app) << "@revoked * " << first.typeAndKey << "\n";
  const ProgramRun revoked = run(server_.serverText());
  expectRun(revoked, 15, {"失効 (@revoked)", first.fingerprint});
  EXPECT_EQ(revoked.output.find("host-key fingerprint="), std::string::npos);
}

}  // namespace
}  // namespace radmon::ftp::testing
