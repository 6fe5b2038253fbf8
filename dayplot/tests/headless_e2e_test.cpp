// The real `dayplot --headless` from a program folder of its own, on a clock faked by
// libfaketime to start a few seconds before a due minute, against a real FTP server on
// 127.0.0.1: the images are written, both uploads arrive, and SIGTERM ends it cleanly.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "local_ftp_server.h"
#include "temp_station.h"

extern char** environ;

namespace radmon::ftp::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The program under the faked clock, its stdout and stderr in one file.
class FakedRun {
 public:
  FakedRun(const fs::path& program, const std::string& fakeStart, const fs::path& output) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    // The clock starts at `fakeStart` and runs on at normal speed.
    env.insert(env.end(),
               {std::string("LD_PRELOAD=") + FAKETIME_LIBRARY, "FAKETIME=@" + fakeStart,
                "FAKETIME_DONT_FAKE_MONOTONIC=1", "TZ=UTC", "QT_QPA_PLATFORM=offscreen"});
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = program.string(), flag = "--headless";
    char* argv[] = {path.data(), flag.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~FakedRun() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool started() const { return pid_ > 0; }
  // Sends the signal and waits at most `limit`; the exit status, -1 when it did not end.
  int stop(int signal, std::chrono::seconds limit) {
    ::kill(pid_, signal);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(50ms);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
};

class HeadlessRun : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root_ / "pub");
    const auto error = server_.start(root_, dir_ / "server.log");
    ASSERT_FALSE(error) << *error;
  }
  void writeDay(const std::string& day, const std::string& slashDate) {
    std::ofstream(data_ / ("μSVHData" + day + ".csv"), std::ios::binary)
        << "\"" << slashDate << "\",\"09:00\",0.1,1,1,60\r\n\"" << slashDate
        << "\",\"09:01\",0.2,1,1,60\r\n";
  }
  // Today every 10 minutes, yesterday at 10:20, FTP transfer into pub.
  void writeIni() {
    std::ofstream(program_ / "dayplot.ini", std::ios::binary)
        << "\"here\",\"\",\"μSVHGraph\",\"2\",\"μSVHData\",\"tube\",\"20\",\"10\"\r\n"
           "1,0,1,1\r\n#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n"
           "\"127.0.0.1 "
        << server_.port() << "\",\"" << LocalFtpServer::kUser << "\",\""
        << LocalFtpServer::kPassword << "\",1,\"pub\"\r\n";
  }
  // Waits until `done` holds or `limit` passes.
  template <typename F>
  bool waitFor(F done, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(100ms);
    }
    return true;
  }

  TempStation station_{"dayplot_headless_e2e", "station", {"dayplot", "ftpscript"}};
  const fs::path &dir_ = station_.dir, &root_ = station_.root, &program_ = station_.program,
                 &data_ = station_.data;
  LocalFtpServer server_;
};

TEST_F(HeadlessRun, DueMinuteDrawsBothDaysUploadsThemAndSigtermEndsCleanly) {
  writeDay("20110316", "2011/03/16");
  writeDay("20110315", "2011/03/15");
  writeIni();
  const std::string ini = readBytes(program_ / "dayplot.ini");
  const fs::path log = dir_ / "dayplot.log";
  FakedRun run(program_ / "dayplot", "2011-03-16 10:19:56", log);
  ASSERT_TRUE(run.started());

  const fs::path today = root_ / "pub" / "μSVHGraph.jpg";
  const fs::path yesterday = root_ / "pub" / "μSVHGraph_20110315.jpg";
  // The minute begins about 4 s in; both uploads one after the other.
  const bool arrived = waitFor(
      [&] {
        return fs::exists(yesterday) &&
               readBytes(log).find("FTP転送成功: " + (data_ / "μSVHGraph_20110315.jpg").string()) !=
                   std::string::npos;
      },
      60s);
  const std::string output = readBytes(log);
  ASSERT_TRUE(arrived) << output;
  ASSERT_TRUE(fs::exists(today)) << output;
  EXPECT_EQ(readBytes(today), readBytes(data_ / "μSVHGraph.jpg"));
  EXPECT_EQ(readBytes(yesterday), readBytes(data_ / "μSVHGraph_20110315.jpg"));
  EXPECT_NE(output.find("2011/03/16 10:20:00 当日分 20110316 を処理します"), std::string::npos)
      << output;
  EXPECT_NE(output.find("2011/03/16 10:20:00 昨日分 20110315 を処理します"), std::string::npos)
      << output;
  EXPECT_TRUE(fs::exists(program_ / "oldtemp.sys"));

  EXPECT_EQ(run.stop(SIGTERM, 20s), 0);
  EXPECT_FALSE(fs::exists(program_ / "oldtemp.sys"));
  EXPECT_EQ(readBytes(program_ / "dayplot.ini"), ini);
  EXPECT_NE(readBytes(log).find("終了しました"), std::string::npos);
}

TEST_F(HeadlessRun, SigintBeforeAnyDueMinuteEndsWithoutRunning) {
  writeIni();
  FakedRun run(program_ / "dayplot", "2011-03-16 10:21:10", dir_ / "dayplot.log");
  ASSERT_TRUE(run.started());
  ASSERT_TRUE(waitFor(
      [&] { return readBytes(dir_ / "dayplot.log").find("開始しました") != std::string::npos; },
      30s));
  EXPECT_EQ(run.stop(SIGINT, 20s), 0);
  EXPECT_FALSE(fs::exists(data_ / "μSVHGraph.jpg"));
  EXPECT_FALSE(fs::exists(program_ / "oldtemp.sys"));
}

}  // namespace
}  // namespace radmon::ftp::testing
