// What the publishing session reports, as each driver shows it: the window and the
// headless log tell a lasting fault once when it begins and once when it ends.
#include <QMessageBox>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

#include "form_station.h"
#include "headless_dayplot.h"

namespace radmon {
namespace {

// One driver of the session: started, ticked and polled, and what it has told since it
// was last asked.
struct Driver {
  std::function<void()> tick;
  std::function<void()> poll;
  std::function<std::vector<std::string>()> told;
};

using Station = testing::FormStation;

Driver headless(Station& s, std::unique_ptr<HeadlessDayplot>& keep,
                std::shared_ptr<std::ostringstream> log) {
  keep = std::make_unique<HeadlessDayplot>(s.folder.path(), s.clock, s.launcher, *log);
  HeadlessDayplot* d = keep.get();
  auto lines = std::make_shared<size_t>(0);
  return {[d] { d->tick(); }, [d] { d->pollUploads(); },
          [log, lines] {
            std::vector<std::string> all;
            std::istringstream in(log->str());
            for (std::string line; std::getline(in, line);) all.push_back(line);
            std::vector<std::string> fresh(all.begin() + static_cast<long>(*lines), all.end());
            *lines = all.size();
            return fresh;
          }};
}

Driver window(Station& s, std::unique_ptr<SettingsForm>& keep) {
  keep = std::make_unique<SettingsForm>(s.parts());
  SettingsForm* w = keep.get();
  return {[w] { w->onMinuteTick(); }, [w] { w->pollUploads(); },
          [w] {
            // A box on screen is a message told; read, it is put away.
            QMessageBox* box = w->messages().box();
            if (!box || !box->isVisible()) return std::vector<std::string>{};
            box->hide();
            return std::vector<std::string>{box->text().toStdString()};
          }};
}

size_t count(const std::vector<std::string>& lines, const std::string& what) {
  return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
    return l.find(what) != std::string::npos;
  }));
}

TEST(PublishingSession, AQueueFileThatCannotBeWrittenIsToldOnceAndItsEndOnce) {
  testing::testApp();
  for (const bool inWindow : {false, true}) {
    SCOPED_TRACE(inWindow ? "window" : "headless");
    Station s;
    s.folder.writeDay("20110316");
    // Today every 10 minutes, sent to the server.
    s.folder.write("dayplot.ini",
                   "\"p\",\"\",\"μSVHGraph\",\"2\",\"μSVHData\",\"t\",\"03\",\"00\"\r\n1,0,1,0\r\n"
                   "#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n\"127.0.0.1\",\"u\",\"w\",1,\"\"\r\n");
    const std::string queue = UploadQueue::pathIn(s.folder.path());
    std::filesystem::create_directories(queue);  // in the way of the queue file
    std::unique_ptr<HeadlessDayplot> d;
    std::unique_ptr<SettingsForm> w;
    Driver driver =
        inWindow ? window(s, w) : headless(s, d, std::make_shared<std::ostringstream>());
    std::vector<std::string> told;
    auto at = [&](int hour, int minute, int second) {
      s.clock.set({2011, 3, 16, hour, minute, second});
      driver.tick();
      for (int i = 0; i < 20; ++i) driver.poll();  // a poll every 250 ms for 5 s
      for (std::string& line : driver.told()) told.push_back(std::move(line));
    };
    auto endAll = [&](int status) {
      for (size_t n = 0; n < s.launcher.outcomes.size(); ++n)
        if (!*s.launcher.outcomes[n]) s.launcher.end(n, status, "530 Login incorrect.\n");
    };

    at(10, 20, 0);  // the run's upload starts
    ASSERT_EQ(s.launcher.started.size(), 1u);
    endAll(1);  // and fails: the queue cannot keep it
    at(10, 21, 0);
    at(10, 22, 0);
    EXPECT_EQ(count(told, "再送の控えを書き込めません"), 1u);
    EXPECT_EQ(count(told, "また書き込める"), 0u);

    std::filesystem::remove(queue);
    at(10, 26, 0);  // five minutes after the failure was seen, the retry
    ASSERT_EQ(s.launcher.started.size(), 2u);
    endAll(0);  // succeeds: the queue is written again
    at(10, 27, 0);
    at(10, 28, 0);
    EXPECT_EQ(count(told, "再送の控えを書き込めません"), 1u);
    EXPECT_EQ(count(told, "再送の控えをまた書き込めるようになりました"), 1u);
    EXPECT_TRUE(std::filesystem::is_regular_file(queue));
    if (w) w->close();
    if (d) d->finish();
  }
}

}  // namespace
}  // namespace radmon
