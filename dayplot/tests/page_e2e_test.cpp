// The station's page published beside the graph by `dayplot --process`, `--month` and
// `--year` to vsftpd and OpenSSH's SFTP started on 127.0.0.1: what arrives is what the
// page shows, the page is valid HTML5 (tidy) and reads without sideways scrolling on a
// phone and a desktop (headless Chromium).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "build_paths.h"
#include "local_ftp_server.h"
#include "local_time.h"
#include "real_servers.h"

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

// A day's minutes up to `last` (hh*60+mm), 200 CPM to the μSv/h, no background.
int writeDay(const fs::path& data, const LocalDateTime& day, int last) {
  std::ofstream out(data / ("μSVHData" + day.yyyymmdd() + ".csv"), std::ios::binary);
  for (int m = 0; m <= last; ++m) {
    const int cpm = 15 + static_cast<int>((m * 2654435761u) >> 28) % 12;  // scattered
    char line[80];
    std::snprintf(line, sizeof line, "\"%s\",\"%02d:%02d\",%g,%d,%d,60\r\n",
                  day.slashDate().c_str(), m / 60, m % 60, cpm * 0.005, cpm, cpm * (m + 1));
    out << line;
  }
  return last + 1;
}

class PagePublish : public ::testing::TestWithParam<ServerKind> {
 protected:
  static void SetUpTestSuite() {
    home_ = new ServerHome;
    if (auto error = home_->create("dayplot_page")) setupError_ = *error;
  }
  static void TearDownTestSuite() {
    delete home_;
    home_ = nullptr;
  }
  void SetUp() override {
    if (!setupError_.empty()) GTEST_SKIP() << setupError_;
    program_ = home_->dir / kServerNames[static_cast<int>(GetParam())] / "gm station";
    data_ = program_ / "data";
    fs::create_directories(data_);
    for (const char* file : {"dayplot", "ftpscript"})
      fs::copy_file(fs::path(::radmon::testing::programDir()) / file, program_ / file);
    home_->freshFolders();
    std::ofstream(program_ / "dayplot_publish.ini")
        << "TrustedFingerprints=" << home_->certificate.fingerprint << "\nPublishPage=1\n";
    const auto error = server_.start({GetParam()}, program_.parent_path(), &home_->certificate);
    ASSERT_FALSE(error) << *error;
    std::ofstream(program_ / "dayplot.ini", std::ios::binary)
        << "\"大阪府大阪市\",\"\",\"graph\",\"0.2\",\"μSVHData\",\"tube\",\"03\",\"00\"\r\n"
           "1,0,0,0\r\n#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n\""
        << server_.serverText() << "\",\"" << TestAccount::user() << "\",\""
        << TestAccount::kPassword << "\",1,\"pub\\graph\"\r\n";
  }
  void TearDown() override { server_.stop(); }

  void run(const std::string& option, const std::string& value) {
    const ProgramRun done = runProgram({(program_ / "dayplot").string(), option, value}, 120s);
    EXPECT_EQ(done.status, 0) << option << " " << value << "\n" << done.output;
  }

  static inline ServerHome* home_ = nullptr;
  static inline std::string setupError_;
  fs::path program_, data_;
  RealServer server_;
};

TEST_P(PagePublish, ThePageAndWhatItShowsArriveAndReadOnAPhone) {
  const LocalDateTime now = localNow();
  const LocalDateTime yesterday = now.previousDay();
  writeDay(data_, yesterday, 24 * 60 - 1);
  const int minutes = writeDay(data_, now, now.hour * 60 + now.minute);
  const std::string month = now.yyyymmdd().substr(0, 6), year = month.substr(0, 4);
  run("--process", yesterday.yyyymmdd());
  run("--month", month);
  run("--year", year);
  run("--process", now.yyyymmdd());

  const fs::path served = home_->home / "pub" / "graph";
  std::set<std::string> arrived;
  for (const auto& entry : fs::directory_iterator(served))
    arrived.insert(entry.path().filename().string());
  const std::set<std::string> graphs{"graph.jpg", "graph_" + yesterday.yyyymmdd() + ".jpg",
                                     "graph_" + month + ".jpg", "graph_" + year + ".jpg"};
  std::set<std::string> expected = graphs;
  // The days, the month and the year drawn for the screen, which the page shows and
  // which link the JPEGs.
  expected.insert({"index.html", "readings.json", "graph_" + yesterday.yyyymmdd() + ".svg",
                   "graph_" + now.yyyymmdd() + ".svg", "graph_" + month + ".svg",
                   "graph_" + year + ".svg"});
  EXPECT_EQ(arrived, expected);
  for (const std::string& file : expected)
    EXPECT_EQ(readBytes(served / file), readBytes(data_ / file)) << file;

  // Exactly the files that arrived, each linked where the page names it.
  const std::string page = readBytes(served / "index.html");
  std::set<std::string> referenced;
  for (const std::string attribute : {"src=\"", "href=\""})
    for (size_t at = page.find(attribute); at != std::string::npos; at = page.find(attribute, at)) {
      at += attribute.size();
      referenced.insert(page.substr(at, page.find('"', at) - at));
    }
  expected.erase("index.html");
  EXPECT_EQ(referenced, expected) << page;
  EXPECT_NE(page.find("<html lang=\"ja\">"), std::string::npos);
  EXPECT_NE(page.find("測定中"), std::string::npos) << page;

  const auto json = nlohmann::json::parse(readBytes(served / "readings.json"));
  EXPECT_EQ(json["date"], now.slashDate());
  ASSERT_EQ(json["readings"].size(), static_cast<size_t>(minutes));
  const auto& last = json["readings"].back();
  EXPECT_EQ(last["time"], now.hhmm());
  EXPECT_LT(last["low"].get<double>(), last["doseRate"].get<double>());
  EXPECT_GT(last["high"].get<double>(), last["doseRate"].get<double>());

  const ProgramRun tidy = runProgram(
      {"/usr/bin/tidy", "-q", "-errors", "--doctype", "html5", (served / "index.html").string()},
      30s);
  EXPECT_EQ(tidy.status, 0) << tidy.output;

  // The screenshots stay in the test's folder (docs/page-360.png and page-1280.png come
  // from here).
  const ProgramRun view = runProgram(
      {"/usr/bin/python3", ::radmon::testing::sourceDir() + "/dayplot/tests/page_view_check.py",
       (served / "index.html").string(), program_.parent_path().string()},
      120s);
  EXPECT_EQ(view.status, 0) << view.output;
  EXPECT_NE(view.output.find("360x740 scrollWidth=360 innerWidth=360 images=4 broken=0"),
            std::string::npos)
      << view.output;
  if (const char* keep = std::getenv("RADMON_PAGE_SHOTS"))
    for (const char* shot : {"page-360.png", "page-1280.png"})
      fs::copy_file(program_.parent_path() / shot, fs::path(keep) / shot,
                    fs::copy_options::overwrite_existing);
}

INSTANTIATE_TEST_SUITE_P(Servers, PagePublish,
                         ::testing::Values(ServerKind::VsftpdPlain, ServerKind::Sshd),
                         [](const auto& info) {
                           return std::string(kServerNames[static_cast<int>(info.param)]);
                         });

}  // namespace
}  // namespace radmon::ftp::testing
