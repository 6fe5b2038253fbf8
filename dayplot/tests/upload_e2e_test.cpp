// `dayplot --process` with FTP transfer ticked, from a program folder of its own that
// holds copies of dayplot and ftpscript, against a real FTP server on 127.0.0.1.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "local_ftp_server.h"
#include "temp_station.h"

namespace radmon::ftp::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class UploadRun : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root_ / "pub" / "graph");
    const auto error = server_.start(root_, dir_ / "server.log");
    ASSERT_FALSE(error) << *error;
  }

  void writeDay() {
    std::ofstream(data_ / "μSVHData20110401.csv", std::ios::binary)
        << "\"2011/04/01\",\"00:00\",0.1,1,1,60\r\n\"2011/04/01\",\"12:30\",0.2,1,1,60\r\n";
  }
  void writeIni(const std::string& password, int check5 = 1,
                const std::string& folder = "pub\\graph") {
    std::ofstream(program_ / "dayplot.ini", std::ios::binary)
        << "\"here\",\"\",\"graph\",\"2\",\"μSVHData\",\"tube\",\"03\",\"00\"\r\n"
           "1,0,0,0\r\n#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n"
           "\"127.0.0.1 "
        << server_.port() << "\",\"" << LocalFtpServer::kUser << "\",\"" << password << "\","
        << check5 << ",\"" << folder << "\"\r\n";
  }
  ProgramRun process() {
    return runProgram({(program_ / "dayplot").string(), "--process", "20110401"}, 120s);
  }

  // Spaces in the program and data folders.
  TempStation station_{"dayplot_upload_e2e", "gm station", {"dayplot", "ftpscript"}};
  const fs::path &dir_ = station_.dir, &root_ = station_.root, &program_ = station_.program,
                 &data_ = station_.data;
  LocalFtpServer server_;
};

// With the transfer not ticked no client starts; ticked, the JPEG arrives.
TEST_F(UploadRun, TheJpegArrivesByteForByteInTheSubFolderWhenTicked) {
  writeDay();
  writeIni(LocalFtpServer::kPassword, 0);
  const ProgramRun unticked = process();
  EXPECT_EQ(unticked.status, 0) << unticked.output;
  EXPECT_FALSE(fs::exists(program_ / "oldtemp.sys"));
  EXPECT_FALSE(fs::exists(root_ / "pub" / "graph" / "graph_20110401.jpg"));

  writeIni(LocalFtpServer::kPassword);
  const ProgramRun run = process();
  ASSERT_EQ(run.status, 0) << run.output;
  const fs::path sent = data_ / "graph_20110401.jpg";
  ASSERT_TRUE(fs::is_regular_file(sent));
  EXPECT_EQ(readBytes(root_ / "pub" / "graph" / "graph_20110401.jpg"), readBytes(sent));

  // The script, with the password in it, is gone once the client has ended.
  EXPECT_FALSE(fs::exists(program_ / "oldtemp.sys"));
}

// A server folder with spaces in its name, set as an operator sets it, is where the
// graph lands.
TEST_F(UploadRun, TheJpegArrivesInAFolderWithSpaces) {
  fs::create_directories(root_ / "my graphs" / "day  two");
  writeDay();
  writeIni(LocalFtpServer::kPassword);
  const ProgramRun set = runProgram(
      {(program_ / "dayplot").string(), "--set", "upload_folder=my graphs/day  two"}, 60s);
  ASSERT_EQ(set.status, 0) << set.output;
  const ProgramRun run = process();
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(readBytes(root_ / "my graphs" / "day  two" / "graph_20110401.jpg"),
            readBytes(data_ / "graph_20110401.jpg"));
}

TEST_F(UploadRun, MissingDayFileStillSendsTheEarlierJpegAndKeepsExitOne) {
  std::ofstream(data_ / "graph_20110401.jpg", std::ios::binary) << "earlier graph";
  writeIni(LocalFtpServer::kPassword);
  const ProgramRun run = process();
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("ファイルがありません"), std::string::npos) << run.output;
  EXPECT_EQ(readBytes(root_ / "pub" / "graph" / "graph_20110401.jpg"), "earlier graph");
}

TEST_F(UploadRun, RefusedLoginAndStoppedServerExitThreeWithTheClientsReason) {
  writeDay();
  writeIni("wrong password");
  ProgramRun run = process();
  EXPECT_EQ(run.status, 3) << run.output;
  // The same words as the window's and the log's, then the client's own.
  const std::string failed =
      "FTP転送失敗: " + (data_ / "graph_20110401.jpg").string() + " (FTPクライアントの終了コード ";
  EXPECT_NE(run.output.find(failed + "7: ログインを拒否されました (ユーザ名かパスワード))\n"
                                     "FTPクライアントの出力:\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("ユーザ名かパスワードが違います"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("530"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("wrong password"), std::string::npos) << run.output;
  EXPECT_TRUE(fs::is_regular_file(data_ / "graph_20110401.jpg"));  // drawn all the same
  EXPECT_FALSE(fs::exists(root_ / "pub" / "graph" / "graph_20110401.jpg"));

  writeIni(LocalFtpServer::kPassword);
  server_.stop();
  run = process();
  EXPECT_EQ(run.status, 3) << run.output;
  EXPECT_FALSE(run.timedOut);
  EXPECT_NE(run.output.find(failed + "3: サーバに接続できません)\nFTPクライアントの出力:\n"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("接続を拒否されました"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace radmon::ftp::testing
