// The unattended schedule on a manual clock: what runs, what is written and said.
#include "headless_dayplot.h"

#include <sstream>

#include <gtest/gtest.h>

#include "shell_fakes.h"

namespace radmon {
namespace {

using testing::FakeLauncher;
using testing::ProgramFolder;

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::testApp(); }
  // Real-time every `period` minutes, yesterday at hh:mm, FTP transfer ticked.
  void writeIni(const std::string& hh, const std::string& mm, int check5 = 1) {
    folder_.write("dayplot.ini", "\"p\",\"\",\"μSVHGraph\",\"2\",\"μSVHData\",\"t\",\"" + mm +
                                     "\",\"" + hh +
                                     "\"\r\n1,0,1,1\r\n#FALSE#,#TRUE#,#FALSE#,#FALSE#\r\n"
                                     "\"127.0.0.1 2121\",\"u\",\"w\"," +
                                     std::to_string(check5) + ",\"\"\r\n");
  }
  HeadlessDayplot& start(LocalDateTime t) {
    clock_.set(t);
    dayplot_ = std::make_unique<HeadlessDayplot>(folder_.path(), clock_, launcher_, err_);
    return *dayplot_;
  }
  void tickAt(LocalDateTime t) {
    clock_.set(t);
    dayplot_->tick();
  }
  bool said(const std::string& part) const { return err_.str().find(part) != std::string::npos; }

  ProgramFolder folder_;
  ManualClock clock_{LocalDateTime{}};
  FakeLauncher launcher_;
  std::ostringstream err_;
  std::unique_ptr<HeadlessDayplot> dayplot_;
};

TEST_F(HeadlessTest, BothRunsInOneTickDrawUploadAndSayWhen) {
  folder_.writeDay("20110316");
  folder_.writeDay("20110315");
  writeIni("00", "20");
  const std::string iniBefore = folder_.read("dayplot.ini");
  HeadlessDayplot& d = start({2011, 3, 16, 0, 19, 58});
  EXPECT_EQ(d.settings().RealtimeInterval, 20);
  EXPECT_EQ(d.untilNextTick(), std::chrono::milliseconds(2500));
  EXPECT_TRUE(
      said("2011/03/16 00:19:58 開始しました: 当日分を20分毎に処理、昨日分を00時20分に処理"))
      << err_.str();

  tickAt({2011, 3, 16, 0, 20, 0});
  EXPECT_TRUE(folder_.exists("data/μSVHGraph.jpg"));
  EXPECT_TRUE(folder_.exists("data/μSVHGraph_20110315.jpg"));
  ASSERT_EQ(launcher_.started.size(), 1u);  // the second waits for the script file
  const std::string log = err_.str();
  const size_t today = log.find("2011/03/16 00:20:00 当日分 20110316 を処理します");
  const size_t yesterday = log.find("2011/03/16 00:20:00 昨日分 20110315 を処理します");
  ASSERT_NE(today, std::string::npos) << log;
  ASSERT_NE(yesterday, std::string::npos) << log;
  EXPECT_LT(today, yesterday);
  EXPECT_GT(log.find("2011/03/16 00:20:00 statistics max=0.5 mean=0.5 minutes=5 suspect=0"), today)
      << log;
  // The month so far after yesterday's run.
  EXPECT_GT(log.find("2011/03/16 00:20:00 201103 のグラフを作成します"), yesterday) << log;
  EXPECT_TRUE(folder_.exists("data/μSVHGraph_201103.jpg"));

  // Outcomes as the clients end, with the client's reason.
  d.pollUploads();
  EXPECT_EQ(launcher_.started.size(), 1u);
  launcher_.end(0, 0);
  d.pollUploads();
  EXPECT_TRUE(said("FTP転送成功: " + folder_.data() + "μSVHGraph.jpg"));
  ASSERT_EQ(launcher_.started.size(), 2u);
  EXPECT_TRUE(d.uploadsRunning());
  clock_.set({2011, 3, 16, 0, 20, 3});
  launcher_.end(1, 8, "226 ok\n550 No such directory.\n");
  d.pollUploads();
  EXPECT_TRUE(said("2011/03/16 00:20:03 FTP転送失敗: " + folder_.data() +
                   "μSVHGraph_20110315.jpg (FTPクライアントの終了コード 8: "
                   "サーバのフォルダがないか、入る権限がありません)"))
      << err_.str();
  ASSERT_EQ(launcher_.started.size(), 3u);  // the month's JPEG last
  launcher_.end(2, 0);
  d.pollUploads();
  EXPECT_TRUE(said("FTP転送成功: " + folder_.data() + "μSVHGraph_201103.jpg"));
  // The server takes uploads again: the queued yesterday goes at once, not at 00:25.
  ASSERT_EQ(launcher_.started.size(), 4u);
  EXPECT_NE(folder_.read("oldtemp.sys").find("μSVHGraph_20110315.jpg"), std::string::npos);
  launcher_.end(3, 0);
  d.pollUploads();
  EXPECT_FALSE(d.uploadsRunning());
  // Drawn once, though the start's make-up for a missed yesterday came in the same tick.
  const std::string after = err_.str();
  const std::string drawn = "昨日分 20110315 を処理します";
  EXPECT_EQ(after.find(drawn), after.rfind(drawn)) << after;

  ASSERT_TRUE(folder_.exists("oldtemp.sys"));
  d.finish();
  EXPECT_FALSE(folder_.exists("oldtemp.sys"));
  EXPECT_EQ(folder_.read("dayplot.ini"), iniBefore);  // never written back
}

// With the station's page asked for, it and its minutes go after the tick's graphs,
// which it shows; none of them is sent twice.
TEST_F(HeadlessTest, ThePageGoesAfterTheTicksGraphs) {
  folder_.writeDay("20110316");
  folder_.writeDay("20110315");
  writeIni("00", "20");
  folder_.write("dayplot_publish.ini", "PublishPage=1\n");
  HeadlessDayplot& d = start({2011, 3, 16, 0, 19, 58});
  tickAt({2011, 3, 16, 0, 20, 0});
  std::vector<std::string> sent;
  for (size_t n = 0; n < launcher_.started.size(); ++n) {
    const std::string script = folder_.read("oldtemp.sys");
    const size_t put = script.find("mput \"" + folder_.data());
    ASSERT_NE(put, std::string::npos) << script;
    sent.push_back(script.substr(put + 6 + folder_.data().size(),
                                 script.find('"', put + 6) - put - 6 - folder_.data().size()));
    launcher_.end(n, 0);
    d.pollUploads();
  }
  EXPECT_EQ(sent, (std::vector<std::string>{"μSVHGraph.jpg", "μSVHGraph_20110316.svg",
                                            "μSVHGraph_20110315.jpg", "μSVHGraph_20110315.svg",
                                            "μSVHGraph_201103.jpg", "μSVHGraph_201103.svg",
                                            "readings.json", "index.html"}));
  const std::string page = folder_.read("data/index.html");
  for (const std::string file : {"%CE%BCSVHGraph.jpg", "%CE%BCSVHGraph_20110315.jpg",
                                 "%CE%BCSVHGraph_201103.jpg", "readings.json"})
    EXPECT_NE(page.find("href=\"" + file + "\""), std::string::npos) << file << page;
}

// A graph whose upload failed is named on the page as missing, not linked as a broken
// image; the others are shown.
TEST_F(HeadlessTest, ThePageNamesAGraphThatDidNotGetThere) {
  folder_.writeDay("20110316");
  folder_.writeDay("20110315");
  writeIni("00", "20");
  folder_.write("dayplot_publish.ini", "PublishPage=1\n");
  HeadlessDayplot& d = start({2011, 3, 16, 0, 19, 58});
  tickAt({2011, 3, 16, 0, 20, 0});
  std::string pageSent;
  for (size_t n = 0; n < launcher_.started.size() && pageSent.empty(); ++n) {
    const std::string script = folder_.read("oldtemp.sys");
    if (script.find("index.html") != std::string::npos) pageSent = folder_.read("data/index.html");
    const bool yesterdays = script.find("μSVHGraph_20110315.jpg") != std::string::npos;
    launcher_.end(n, yesterdays ? 8 : 0, yesterdays ? "550 No such directory.\n" : "");
    d.pollUploads();
  }
  ASSERT_FALSE(pageSent.empty()) << err_.str();
  EXPECT_EQ(pageSent.find("%CE%BCSVHGraph_20110315.jpg"), std::string::npos) << pageSent;
  EXPECT_NE(pageSent.find("<p class=\"missing\">このグラフはまだありません</p><figcaption>昨日 "
                          "(2011/03/15)</figcaption>"),
            std::string::npos)
      << pageSent;
  // Today and the month drawn for the screen, each linking its JPEG.
  for (const std::string shown :
       {"href=\"%CE%BCSVHGraph.jpg\"><img src=\"%CE%BCSVHGraph_20110316.svg\"",
        "href=\"%CE%BCSVHGraph_201103.jpg\"><img src=\"%CE%BCSVHGraph_201103.svg\""})
    EXPECT_NE(pageSent.find(shown), std::string::npos) << shown << pageSent;
}

TEST_F(HeadlessTest, WithoutSettingsFileNothingRunsWithOneAMissingFileIsSaidAndTheScheduleGoesOn) {
  start({2011, 3, 16, 10, 0, 0});
  EXPECT_TRUE(said("何も処理しません")) << err_.str();
  for (int m = 1; m <= 60; ++m) tickAt({2011, 3, 16, 10 + m / 60, m % 60, 1});
  EXPECT_FALSE(folder_.exists("data/μSVHGraph.jpg"));
  EXPECT_TRUE(launcher_.started.empty());
  // With one, a missing file is said with the time and the schedule goes on.
  writeIni("00", "03", 0);
  start({2011, 3, 16, 10, 19, 59});
  tickAt({2011, 3, 16, 10, 20, 0});
  EXPECT_TRUE(said("2011/03/16 10:20:00 ファイルがありません")) << err_.str();
  folder_.writeDay("20110316");
  tickAt({2011, 3, 16, 10, 40, 1});
  EXPECT_TRUE(folder_.exists("data/μSVHGraph.jpg"));
  EXPECT_TRUE(launcher_.started.empty());  // transfer not ticked
}

TEST_F(HeadlessTest, MissedYesterdayIsMadeUpAtStartAndUnsentUploadsOutliveTheEnd) {
  folder_.writeDay("20110315");
  writeIni("3", "20");  // an hour that never matches the clock is said, not announced
  start({2011, 3, 16, 9, 0, 0});
  EXPECT_TRUE(said("時・分とも2桁")) << err_.str();
  EXPECT_FALSE(said("昨日分を")) << err_.str();
  tickAt({2011, 3, 16, 9, 1, 0});
  EXPECT_TRUE(launcher_.started.empty());

  writeIni("08", "20");  // the station was off at 08:20
  start({2011, 3, 16, 9, 0, 0});
  tickAt({2011, 3, 16, 9, 1, 0});
  EXPECT_TRUE(said("昨日分 20110315 のグラフはまだ転送されていません"));
  ASSERT_EQ(launcher_.started.size(), 1u);
  EXPECT_TRUE(folder_.exists("data/μSVHGraph_20110315.jpg"));

  dayplot_->finish();  // ended while the client runs: the upload is kept for the next start
  EXPECT_FALSE(folder_.exists("oldtemp.sys"));
  start({2011, 3, 16, 9, 5, 0});
  tickAt({2011, 3, 16, 9, 6, 0});
  ASSERT_EQ(launcher_.started.size(), 2u);  // sent again, not drawn again
  EXPECT_EQ(err_.str().rfind("まだ転送されていません"), err_.str().find("まだ転送されていません"));
  launcher_.end(1, 0);
  dayplot_->pollUploads();
  start({2011, 3, 16, 9, 10, 0});  // sent: nothing more to make up
  tickAt({2011, 3, 16, 9, 11, 0});
  EXPECT_EQ(launcher_.started.size(), 2u);
}

TEST(UploadWatch, OneClientAtATimeEachWaitingFileOnceAndFailedStartsSkipped) {
  FakeLauncher launcher;
  UploadWatch watch;
  auto starter = [&] { return launcher.start({"ftpscript", {}}).value_or(nullptr); };
  int refused = 0;
  watch.request(starter, "a.jpg");
  watch.request(starter, "b.jpg");
  watch.request(starter, "b.jpg");  // already waiting
  watch.request(
      [&]() -> std::unique_ptr<StartedProcess> {
        ++refused;
        return nullptr;
      },
      "c.jpg");
  watch.request(starter, "d.jpg");
  EXPECT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(watch.waiting(), 3u);

  const LocalDateTime t{2011, 3, 16, 1, 2, 3};
  EXPECT_TRUE(watch.collect(t).empty());
  launcher.end(0, 0);
  auto ended = watch.collect(t);
  ASSERT_EQ(ended.size(), 1u);
  EXPECT_TRUE(ended[0].succeeded);
  EXPECT_EQ(ended[0].file, "a.jpg");
  EXPECT_EQ(launcher.started.size(), 2u);  // b
  launcher.end(1, 7, "Failed: line 1 OPEN: login refused\n");
  ended = watch.collect(t);
  ASSERT_EQ(ended.size(), 1u);
  EXPECT_FALSE(ended[0].succeeded);
  // ftpscript's words are not read, in whichever language: its exit status is.
  EXPECT_EQ(ended[0].reason,
            "FTPクライアントの終了コード 7: ログインを拒否されました (ユーザ名かパスワード)");
  EXPECT_EQ(clientReason({true, 1, "x\n"}), "FTPクライアントの終了コード 1");
  EXPECT_EQ(clientReason({true, 1,
                          "transfer result=failed cause=local-file bytes=0 seconds=0.000 "
                          "retries=0 direct=0 name=g.jpg\n"}),
            "FTPクライアントの終了コード 1: 送るファイルがないか、読めません");
  EXPECT_EQ(clientReason({true, 1, "a\r\n530 Login incorrect.\r\n"}, ClientPlatform::Windows),
            "FTPクライアントの終了コード 1: 530 Login incorrect.");
  EXPECT_EQ(clientReason({false, -1, ""}), "FTPクライアントが異常終了しました");
  // A refused host key's fingerprint stays with the reason, with the setting that takes it.
  const std::string keyRefused = clientReason({true, 6, "host-key fingerprint=SHA256:k\n"});
  for (const char* said : {"SSH サーバの鍵", "SHA256:k", "TrustedHostKeys"})
    EXPECT_NE(keyRefused.find(said), std::string::npos) << keyRefused;
  // A key seen first and kept is a notice with the server and the fingerprint to check.
  const std::string kept = clientNotice("host-key-kept fingerprint=SHA256:k server=[h]:2222\n");
  for (const char* said : {"SSH サーバ [h]:2222 の鍵を初めて受け取り", "(指紋 SHA256:k)"})
    EXPECT_NE(kept.find(said), std::string::npos) << kept;
  EXPECT_EQ(refused, 1);  // c could not start, d went on
  EXPECT_EQ(launcher.started.size(), 3u);
  launcher.end(2, 0);
  watch.collect(t);
  EXPECT_TRUE(watch.empty());
}

// A success that the client qualifies: ftpscript's transfer line saying the graph was
// stored directly (a server that cannot replace it in one step) reaches the operator with
// the success, and nothing else does.
TEST(UploadWatch, SuccessCarriesTheClientsNoticeAndOnlyThat) {
  FakeLauncher launcher;
  UploadWatch watch;
  auto starter = [&] { return launcher.start({"ftpscript", {}}).value_or(nullptr); };
  const LocalDateTime t{2026, 12, 1, 0, 5, 0};
  struct Case {
    const char* output;
    const char* sentence;
  };
  for (const Case& c :
       {Case{"Sending: g.jpg\r\ntransfer result=ok cause=none bytes=10 seconds=0.010 "
             "retries=0 direct=1 name=g.jpg\r\n",
             "FTP転送成功: g.jpg (サーバがファイル名の変更を受け付けないため、直接上書きしました。"
             "上書きの間は書きかけのファイルが見えることがあります)"},
        Case{"transfer result=ok cause=none bytes=10 seconds=0.010 retries=0 direct=0 "
             "name=direct=1\n注意: direct=1\n",
             "FTP転送成功: g.jpg"}}) {
    SCOPED_TRACE(c.output);
    watch.request(starter, "g.jpg");
    launcher.end(launcher.started.size() - 1, 0, c.output);
    const auto ended = watch.collect(t);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_TRUE(ended[0].succeeded);
    EXPECT_EQ(uploadOutcomeSentence(ended[0]), c.sentence);
  }
}

}  // namespace
}  // namespace radmon
