// `dayplot --process` publishing to the servers web hosts run (vsftpd plain and with
// TLS, pure-ftpd with TLS, OpenSSH's SFTP), each started on 127.0.0.1 by the test, from
// a program folder that holds dayplot, ftpscript and the station's settings.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>

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
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    program_ = home_->dir / name / "gm station";
    data_ = program_ / "data";
    fs::create_directories(data_);
    for (const char* file : {"dayplot", "ftpscript"}) {
      fs::copy_file(fs::path(PROGRAM_DIR) / file, program_ / file);
    }
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
        << server_.serverText() << "\",\"" << TestAccount::kUser << "\",\""
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

TEST_F(PublishRun, SigtermDuringTheUploadEndsTheClientAndRemovesTheScript) {
  startServer({ServerKind::VsftpdPlain, 500});  // a JPEG takes a minute and more
  std::string line = "'";
  line += dayplot();
  line += "' --process 20110401 & p=$!; sleep 3; kill -TERM $p; wait $p";
  const auto begin = std::chrono::steady_clock::now();
  const ProgramRun run = runProgram({"/bin/sh", "-c", line}, 60s);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 10s);
  EXPECT_EQ(run.status, 3) << run.output;
  EXPECT_NE(run.output.find("FTP転送を中止しました"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(program_ / "oldtemp.sys"));
  EXPECT_FALSE(fs::exists(onServer()));
  const ProgramRun left = runProgram({"/usr/bin/pgrep", "-f", (program_ / "ftpscript").string()}, 10s);
  EXPECT_EQ(left.status, 1) << "client still running: " << left.output;
}

}  // namespace
}  // namespace radmon::ftp::testing
