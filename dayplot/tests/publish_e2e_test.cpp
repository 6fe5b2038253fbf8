// `dayplot --process` publishing to the servers web hosts run (vsftpd plain and with
// TLS, pure-ftpd with TLS, OpenSSH's SFTP), each started on 127.0.0.1 by the test, from
// a program folder that holds dayplot, ftpscript and the station's settings.
#include <gtest/gtest.h>

#include <algorithm>
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

class PublishRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = new ServerHome;
    if (auto error = home_->create("dayplot_publish")) setupError_ = *error;
  }
  static void TearDownTestSuite() {
    delete home_;
    home_ = nullptr;
  }

  void SetUp() override {
    if (!setupError_.empty()) GTEST_SKIP() << setupError_;
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    program_ = home_->dir / name / "gm station";
    data_ = program_ / "data";
    fs::create_directories(data_);
    for (const char* file : {"dayplot", "ftpscript"})
      fs::copy_file(fs::path(::radmon::testing::programDir()) / file, program_ / file);
    home_->freshFolders();
    std::ofstream(data_ / "μSVHData20110401.csv", std::ios::binary)
        << "\"2011/04/01\",\"00:00\",0.1,1,1,60\r\n\"2011/04/01\",\"12:30\",0.2,1,1,60\r\n";
    std::ofstream(program_ / "dayplot_publish.ini")
        << "TrustedFingerprints=" << home_->certificate.fingerprint << "\n";
  }
  void TearDown() override { server_.stop(); }

  void startServer(const ServerChoice& choice) {
    const auto error = server_.start(choice, program_.parent_path(), &home_->certificate);
    ASSERT_FALSE(error) << *error;
    std::ofstream(program_ / "dayplot.ini", std::ios::binary)
        << "\"here\",\"\",\"graph\",\"2\",\"μSVHData\",\"tube\",\"03\",\"00\"\r\n"
           "1,0,0,0\r\n#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n\""
        << server_.serverText() << "\",\"" << TestAccount::user() << "\",\""
        << TestAccount::kPassword << "\",1,\"pub\\graph\"\r\n";
  }
  std::string dayplot() const { return (program_ / "dayplot").string(); }
  fs::path sent() const { return data_ / "graph_20110401.jpg"; }
  fs::path onServer() const { return home_->home / "pub" / "graph" / "graph_20110401.jpg"; }

  static inline ServerHome* home_ = nullptr;
  static inline std::string setupError_;
  fs::path program_, data_;
  RealServer server_;
};

class EachServer : public PublishRun, public ::testing::WithParamInterface<ServerKind> {};

TEST_P(EachServer, TheJpegArrivesByteForByteAndTheScriptIsGone) {
  startServer({GetParam()});
  const auto begin = std::chrono::steady_clock::now();
  const ProgramRun run = runProgram({dayplot(), "--process", "20110401"}, 120s);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
  ASSERT_EQ(run.status, 0) << run.output;
  ASSERT_TRUE(fs::is_regular_file(sent()));
  EXPECT_EQ(readBytes(onServer()), readBytes(sent()));
  EXPECT_FALSE(fs::exists(onServer().string() + ".uploading"));
  EXPECT_FALSE(fs::exists(program_ / "oldtemp.sys"));
  std::cout << kServerNames[static_cast<int>(GetParam())] << ": dayplot --process with upload "
            << took.count() << " s, JPEG " << fs::file_size(sent()) << " bytes\n";
}

INSTANTIATE_TEST_SUITE_P(Servers, EachServer,
                         ::testing::Values(ServerKind::VsftpdPlain, ServerKind::VsftpdTls,
                                           ServerKind::PureFtpdTls, ServerKind::Sshd),
                         [](const auto& info) {
                           return std::string(kServerNames[static_cast<int>(info.param)]);
                         });

// Unattended, a host key seen first is taken and said with its fingerprint; a changed one
// is refused with its fingerprint and the setting that takes it, and taken once it is set.
TEST_F(PublishRun, ProcessKeepsANewSshHostKeyAndRefusesAChangedOneUntilTrusted) {
  startServer({ServerKind::Sshd});
  const auto fingerprint = [&] {
    const std::string pub = (program_.parent_path() / "ssh_host_key.pub").string();
    std::string bits, print;
    std::istringstream(runProgram({"/usr/bin/ssh-keygen", "-lf", pub}, 30s).output) >> bits >>
        print;
    return print;
  };
  const auto process = [&] { return runProgram({dayplot(), "--process", "20110401"}, 120s); };
  const ProgramRun first = process();
  EXPECT_EQ(first.status, 0) << first.output;
  EXPECT_NE(first.output.find("鍵を初めて受け取り、記録しました (指紋 " + fingerprint()),
            std::string::npos)
      << first.output;

  const unsigned port = server_.port();
  server_.stop();
  startServer({ServerKind::Sshd, 0, 0, port});
  const std::string changed = fingerprint();
  const ProgramRun refused = process();
  EXPECT_NE(refused.status, 0) << refused.output;
  for (const std::string& said :
       {std::string("鍵が以前と違います"), std::string("TrustedHostKeys"), changed})
    EXPECT_NE(refused.output.find(said), std::string::npos) << said << "\n" << refused.output;

  std::ofstream(program_ / "dayplot_publish.ini", std::ios::app)
      << "TrustedHostKeys=" << changed << "\n";
  const ProgramRun trusted = process();
  EXPECT_EQ(trusted.status, 0) << trusted.output;
  EXPECT_EQ(readBytes(onServer()), readBytes(sent()));
}

TEST_F(PublishRun, SigtermDuringTheUploadEndsTheClientAndRemovesTheScript) {
  startServer({ServerKind::VsftpdPlain, 500});  // a JPEG takes a minute and more
  std::string line = "'";
  line += dayplot();
  line += "' --process 20110401 & p=$!; sleep 3; kill -TERM $p; wait $p";
  const auto begin = std::chrono::steady_clock::now();
  const ProgramRun run = runProgram({"/bin/sh", "-c", line}, 60s);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 10s);
  EXPECT_EQ(run.status, 3) << run.output;
  EXPECT_NE(run.output.find("(終了の指示により中止しました)"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(program_ / "oldtemp.sys"));
  EXPECT_FALSE(fs::exists(onServer()));
  const ProgramRun left =
      runProgram({"/usr/bin/pgrep", "-f", (program_ / "ftpscript").string()}, 10s);
  EXPECT_EQ(left.status, 1) << "client still running: " << left.output;
}

#ifdef FAKETIME_LIBRARY
// `dayplot --headless` on a clock ten times as fast (libfaketime): today's upload at
// 10:20 finds the server down and is queued for 10:21, the server comes back, a retry
// sends it and the queue is empty.
TEST_F(PublishRun, QueueEmptiesAfterTheServerComesBack) {
  startServer({ServerKind::VsftpdPlain});
  const unsigned port = server_.port();
  server_.stop();
  std::ofstream(data_ / "μSVHData20110316.csv", std::ios::binary)
      << "\"2011/03/16\",\"09:00\",0.1,1,1,60\r\n\"2011/03/16\",\"09:01\",0.2,1,1,60\r\n";
  std::ofstream(program_ / "dayplot_publish.ini") << "RetryMinutes=1\n";
  std::ofstream(program_ / "dayplot.ini", std::ios::binary)
      << "\"here\",\"\",\"graph\",\"2\",\"μSVHData\",\"tube\",\"50\",\"23\"\r\n"
         "1,0,1,1\r\n#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n\"127.0.0.1 "
      << port << "\",\"" << TestAccount::user() << "\",\"" << TestAccount::kPassword
      << "\",1,\"pub\\graph\"\r\n";

  std::string line = "cd '";
  line += program_.string();
  line += "' && env LD_PRELOAD='" FAKETIME_LIBRARY
          "' FAKETIME='@2011-03-16 10:19:56 x10' "
          "TZ=UTC QT_QPA_PLATFORM=offscreen ./dayplot --headless >headless.log 2>&1 & p=$!; "
          // Until the graph is on the server, then 20 s of its clock for the end of the
          // upload (or 45 s in all): the uploader runs on the fast clock too, so on a busy
          // machine a retry may time out before the one that goes.
          "for i in $(seq 90); do [ -s '" +
          (home_->home / "pub" / "graph" / "graph.jpg").string() +
          "' ] && break; sleep 0.5; done; "
          "sleep 2; kill -TERM $p; wait $p";
  ProgramRun run;
  // Its words go to a file of its own: the server's start below runs programs too.
  std::thread headless([&] { run = runProgram({"/bin/sh", "-c", line}, 90s); });
  std::this_thread::sleep_for(3s);  // about 10:20:26 on its clock: the upload has failed
  const auto error = server_.start({ServerKind::VsftpdPlain, 0, 0, port}, program_.parent_path(),
                                   &home_->certificate);
  headless.join();
  ASSERT_FALSE(error) << *error;
  run.output = readBytes(program_ / "headless.log");

  EXPECT_EQ(run.status, 0) << run.output;
  const fs::path graph = data_ / "graph.jpg";
  const size_t failed = run.output.find("FTP転送失敗: " + graph.string());
  const size_t sent = run.output.find("FTP転送成功: " + graph.string());
  ASSERT_NE(failed, std::string::npos) << run.output;
  EXPECT_NE(run.output.find("終了コード 3: サーバに接続できません", failed), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("10:21 に再送します", failed), std::string::npos) << run.output;
  ASSERT_NE(sent, std::string::npos) << run.output;
  EXPECT_LT(failed, sent);
  EXPECT_EQ(readBytes(home_->home / "pub" / "graph" / "graph.jpg"), readBytes(graph));
  EXPECT_EQ(readBytes(program_ / "dayplot_upload_queue.txt"), "sent\t" + graph.string() + "\n");
}
#endif

}  // namespace
}  // namespace radmon::ftp::testing
