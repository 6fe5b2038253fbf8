// A week of the unattended dayplot, minute by minute on a manual clock, uploading to a
// real FTP server on 127.0.0.1 through the real client: every due run happens once, every
// upload ends and is reported, and no file handle or child process is left behind.
#include <dirent.h>
#include <malloc.h>
#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "child_process.h"
#include "headless_dayplot.h"
#include "local_ftp_server.h"
#include "process_launcher.h"
#include "real_servers.h"
#include "temp_station.h"

namespace radmon::reliability {
namespace fs = std::filesystem;

namespace {

// Bytes the allocator holds for live blocks, in KiB. Unlike resident memory it does not
// move when the allocator keeps freed pages or a large picture leaves a hole.
long heapInUseKiB() {
  const struct mallinfo2 heap = ::mallinfo2();
  return static_cast<long>((heap.uordblks + heap.hblkhd) / 1024);
}

int openHandles() {
  int n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

// The processes whose parent is this one.
std::vector<pid_t> children() {
  std::vector<pid_t> found;
  for (const auto& [process, parent] : ftp::testing::processParents())
    if (parent == ::getpid()) found.push_back(process);
  return found;
}

// Today every 60 minutes, yesterday at 00:03, JPEG only (or BMP only), sent to graphs/.
void writeIni(const fs::path& program, unsigned port, const std::string& password,
              bool jpeg = true) {
  std::ofstream(program / "dayplot.ini", std::ios::binary)
      << "\"station\",\"\",\"μSVHGraph\",\"2\",\"μSVHData\",\"tube\",\"03\",\"00\"\r\n"
      << (jpeg ? "1,0" : "0,1") << ",1,1\r\n#FALSE#,#FALSE#,#FALSE#,#TRUE#\r\n\"127.0.0.1 " << port
      << "\",\"" << ftp::testing::LocalFtpServer::kUser << "\",\"" << password
      << "\",1,\"graphs\"\r\n";
}

void writeDay(const fs::path& program, int day) {
  std::ofstream out(program / "data" / ("μSVHData201103" + std::to_string(day) + ".csv"),
                    std::ios::binary);
  for (int m = 0; m < 1440; ++m)
    out << "\"2011/03/" << day << "\",\"" << m / 600 << m / 60 % 10 << ':' << m % 60 / 10 << m % 10
        << "\",0.1" << m % 7 << ",30,30,60\r\n";
}

void testApp() {
  static int argc = 1;
  static char name[] = "dayplot_week_test";
  static char* argv[] = {name, nullptr};
  static auto* app = new QGuiApplication(argc, argv);  // never destroyed: Qt outlives the tests
  (void)app;
}

// Polls until the uploads have ended; false when one is still running after 20 s.
bool uploadsEnd(HeadlessDayplot& dayplot) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (dayplot.uploadsRunning() && std::chrono::steady_clock::now() < limit) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    dayplot.pollUploads();
  }
  return !dayplot.uploadsRunning();
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

using ftp::testing::LocalFtpServer;
using ftp::testing::TempStation;

// A program folder holding the FTP client, and a server on 127.0.0.1 serving graphs/.
class DayplotWeek : public ::testing::Test {
 protected:
  void SetUp() override {
    testApp();
    fs::create_directories(served / "graphs");
    ASSERT_FALSE(server.start(served, station.dir / "ftp.log"));
  }

  TempStation station{"radmon_dpweek", "program", {"ftpscript"}};
  const fs::path &program = station.program, &served = station.root;
  LocalFtpServer server;
};

}  // namespace

TEST_F(DayplotWeek, EveryDueRunOnceEveryUploadReportedNothingLeftBehind) {
  for (int day = 14; day <= 21; ++day) writeDay(program, day);
  writeIni(program, server.port(), LocalFtpServer::kPassword);

  const int handlesBefore = openHandles();
  const size_t childrenBefore = children().size();  // the server
  std::ostringstream err;
  std::vector<long> hourlyHeapKiB, hourlyResidentKiB;
  {
    ManualClock clock(LocalDateTime{2011, 3, 15, 0, 0, 30});
    SpawnLauncher launcher;
    HeadlessDayplot dayplot(program.string() + "/", clock, launcher, err);
    for (int minute = 1; minute <= 7 * 1440; ++minute) {
      clock.advance(60);
      dayplot.tick();
      // A minute is long enough for the client to end: wait for it, bounded.
      ASSERT_TRUE(uploadsEnd(dayplot)) << "an upload did not end at minute " << minute;
      if (minute % 60 == 0) {
        hourlyHeapKiB.push_back(heapInUseKiB());
        hourlyResidentKiB.push_back(residentKiB(::getpid()));
      }
    }
    dayplot.finish();
  }
  const std::string log = err.str();
  // 23 runs of today a day (never at 00:00), one of yesterday and one of its month.
  EXPECT_EQ(count(log, "当日分 2011"), 7u * 23) << log.substr(0, 2000);
  EXPECT_EQ(count(log, "昨日分 2011"), 7u);
  EXPECT_EQ(count(log, "201103 のグラフを作成します"), 7u);
  EXPECT_EQ(count(log, "FTP転送成功"), 7u * 25);
  EXPECT_EQ(count(log, "FTP転送失敗"), 0u);
  for (int day = 14; day <= 20; ++day)
    EXPECT_TRUE(fs::exists(served / "graphs" / ("μSVHGraph_201103" + std::to_string(day) + ".jpg")))
        << day;
  EXPECT_TRUE(fs::exists(served / "graphs" / "μSVHGraph.jpg"));
  EXPECT_TRUE(fs::exists(served / "graphs" / "μSVHGraph_201103.jpg"));
  EXPECT_FALSE(fs::exists(program / "oldtemp.sys"));

  EXPECT_EQ(openHandles(), handlesBefore);
  EXPECT_EQ(children().size(), childrenBefore);
  // Memory in use after the first day's runs against the highest later. The log kept in
  // `err` grows by some 40 KiB over the week; a leak of 60 bytes a minute would pass 512.
  const auto afterFirstDay = [](const std::vector<long>& hourly) {
    return std::pair{hourly.at(23), *std::max_element(hourly.begin() + 24, hourly.end())};
  };
  const auto [heapFirstDay, heapHighest] = afterFirstDay(hourlyHeapKiB);
  const auto [residentFirstDay, residentHighest] = afterFirstDay(hourlyResidentKiB);
#ifndef __SANITIZE_ADDRESS__  // the sanitizer's own allocator keeps freed memory on purpose
  EXPECT_LE(heapHighest - heapFirstDay, 512);
#endif
  std::cout << "heap in use after the first day " << heapFirstDay << " KiB, highest later "
            << heapHighest << " KiB; resident " << residentFirstDay << " KiB, highest later "
            << residentHighest << " KiB; uploads " << count(log, "FTP転送成功")
            << ", open handles before " << handlesBefore << " after " << openHandles()
            << ", children after " << children().size() << std::endl;
}

// Each fault of the upload is said with its reason, and the next due run still runs.
TEST_F(DayplotWeek, UploadFaultsAreSaidAndTheScheduleGoesOn) {
  writeDay(program, 15);

  struct Fault {
    const char* name;
    std::string password;
    bool jpeg;
    bool serverUp;
  };
  for (const Fault& fault : {Fault{"wrong password", "not it", true, true},
                             Fault{"no JPEG written", LocalFtpServer::kPassword, false, true},
                             Fault{"server stopped", LocalFtpServer::kPassword, true, false}}) {
    SCOPED_TRACE(fault.name);
    if (!fault.serverUp) server.stop();
    writeIni(program, server.port(), fault.password, fault.jpeg);
    fs::remove(program / "data" / "μSVHGraph.jpg");
    std::ostringstream err;
    ManualClock clock(LocalDateTime{2011, 3, 15, 9, 59, 30});
    SpawnLauncher launcher;
    HeadlessDayplot dayplot(program.string() + "/", clock, launcher, err);
    for (int hour = 10; hour <= 11; ++hour) {
      clock.set(LocalDateTime{2011, 3, 15, hour, 0, 0});
      dayplot.tick();
      ASSERT_TRUE(uploadsEnd(dayplot));
    }
    dayplot.finish();
    const std::string log = err.str();
    // Both hours ran and both of today's uploads failed with the client's reason (the
    // yesterday made up at start, and its retries, come on top).
    EXPECT_EQ(count(log, "当日分 20110315"), 2u) << log;
    EXPECT_EQ(count(log, "FTP転送失敗: " + (program / "data" / "μSVHGraph.jpg").string() + " ("),
              2u)
        << log;
    EXPECT_EQ(count(log, "FTP転送成功"), 0u) << log;
    EXPECT_NE(log.find("FTPクライアントの終了コード"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(served / "graphs" / "μSVHGraph.jpg"));
    const size_t failed = log.find("FTP転送失敗");
    std::cout << fault.name << ": " << log.substr(failed, log.find('\n', failed) - failed)
              << std::endl;
  }
}

}  // namespace radmon::reliability
