// `dayplot --process` run again and again, as a cron job runs it, publishing the station's
// page to a pyftpdlib server on 127.0.0.1: a graph the page shows reaches the server
// once, not at every run, and what could not be sent waits in the queue for the next run
// that reaches the server.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "local_ftp_server.h"
#include "local_time.h"
#include "temp_station.h"
#include "text_files.h"

namespace radmon::ftp::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

LocalDateTime localNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

class ProcessRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root_ / "pub");
    startServer();
    for (const LocalDateTime& day : {today_, today_.previousDay()}) {
      std::ofstream out(data_ / ("μSVHData" + day.yyyymmdd() + ".csv"), std::ios::binary);
      for (int m = 0; m < 120; ++m)
        out << "\"" << day.slashDate() << "\",\"0" << m / 60 << ":" << (m % 60 < 10 ? "0" : "")
            << m % 60 << "\",0.1,20," << 20 * (m + 1) << ",60\r\n";
    }
    std::ofstream(program_ / "dayplot_publish.ini") << "PublishPage=1\n";
  }
  void startServer() {
    const auto error = server_.start(root_, dir_ / "server.log");
    ASSERT_FALSE(error) << *error;
    std::ofstream(program_ / "dayplot.ini", std::ios::binary)
        << "\"here\",\"\",\"μSVHGraph\",\"2\",\"μSVHData\",\"tube\",\"20\",\"10\"\r\n"
           "1,0,1,1\r\n#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n\"127.0.0.1 "
        << server_.port() << "\",\"" << LocalFtpServer::kUser << "\",\""
        << LocalFtpServer::kPassword << "\",1,\"pub\"\r\n";
  }
  ProgramRun process(const LocalDateTime& day) {
    return runProgram(
        {(program_ / "dayplot").string(), "--lang", "en", "--process", day.yyyymmdd()}, 120s);
  }
  // How many times the server stored a file whose name holds `name`.
  size_t stored(const std::string& name) const {
    size_t n = 0;
    const std::string log = readBytes(dir_ / "server.log");  // the lines view it
    for (const auto line : textLines(log))
      n += line.find(" STOR ") != std::string_view::npos &&
           line.find(name) != std::string_view::npos &&
           line.find("completed=1") != std::string_view::npos;
    return n;
  }
  std::string queue() const { return readBytes(program_ / "dayplot_upload_queue.txt"); }

  TempStation station_{"dayplot_process_queue", "station", {"dayplot", "ftpscript"}};
  const fs::path &dir_ = station_.dir, &root_ = station_.root, &program_ = station_.program,
                 &data_ = station_.data;
  const LocalDateTime today_ = localNow();
  LocalFtpServer server_;
};

TEST_F(ProcessRuns, YesterdaysGraphGoesOnceOverThirtyRuns) {
  const std::string yesterday = "μSVHGraph_" + today_.previousDay().yyyymmdd() + ".jpg";
  const ProgramRun first = process(today_.previousDay());
  ASSERT_EQ(first.status, 0) << first.output;
  for (int run = 0; run < 30; ++run) {
    const ProgramRun again = process(today_);
    ASSERT_EQ(again.status, 0) << run << "\n" << again.output;
  }
  EXPECT_EQ(readBytes(root_ / "pub" / yesterday), readBytes(data_ / yesterday));
  EXPECT_EQ(stored(yesterday), 1u) << readBytes(dir_ / "server.log");
  EXPECT_EQ(stored("μSVHGraph.jpg"), 30u);  // today's, drawn anew each run
  EXPECT_EQ(queue().find("retry\t"), std::string::npos) << queue();
}

TEST_F(ProcessRuns, WhatFailedWaitsForTheNextRunThatReachesTheServer) {
  server_.stop();
  const ProgramRun down = process(today_);
  EXPECT_EQ(down.status, 3) << down.output;
  const std::string graph = (data_ / "μSVHGraph.jpg").string();
  EXPECT_NE(queue().find("\t" + graph + "\n"), std::string::npos) << queue();
  EXPECT_NE(queue().find("index.html"), std::string::npos) << queue();

  startServer();
  const ProgramRun back = process(today_);
  ASSERT_EQ(back.status, 0) << back.output;
  EXPECT_EQ(queue().find("retry\t"), std::string::npos) << queue();
  EXPECT_EQ(readBytes(root_ / "pub" / "μSVHGraph.jpg"), readBytes(graph));
  EXPECT_TRUE(fs::exists(root_ / "pub" / "index.html"));
}

// Under the C locale ftpscript alone would speak Japanese; dayplot --lang en passes its
// language on, so the client's words it shows are English too.
TEST_F(ProcessRuns, TheClientsWordsFollowDayplotsLanguage) {
  server_.stop();
  ::setenv("LC_ALL", "C", 1);
  const ProgramRun down = process(today_);
  ::unsetenv("LC_ALL");
  EXPECT_EQ(down.status, 3) << down.output;
  EXPECT_NE(down.output.find("Connecting and logging in: The connection was refused"),
            std::string::npos)
      << down.output;
  // What failed is not lost, and the operator is told where it went.
  EXPECT_NE(down.output.find("Kept in the queue: a run of dayplot from "), std::string::npos)
      << down.output;
}

}  // namespace
}  // namespace radmon::ftp::testing
