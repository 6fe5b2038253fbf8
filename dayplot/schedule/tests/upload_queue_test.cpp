// The queue of uploads that have not reached the server: waits that double, a file that
// outlives the program, and the graphs that went out.
#include "upload_queue.h"

#include <gtest/gtest.h>

#include "shell_fakes.h"
#include "upload_watch.h"

namespace radmon {
namespace {

TEST(UploadQueue, WaitsDoubleUpToHalfADayAndSurviveARestart) {
  testing::ProgramFolder folder;
  const std::string path = UploadQueue::pathIn(folder.path());
  const LocalDateTime t{2011, 3, 16, 10, 0, 30};
  {
    UploadQueue queue(path);
    // Each failure at t: the next try after 5, 10, 20, ... minutes, never over 12 hours.
    const int expected[] = {5, 10, 20, 40, 80, 160, 320, 640, 720, 720};
    for (const int minutes : expected) {
      queue.failed("/d/a.jpg", t, 5);
      EXPECT_EQ(queue.nextTry("/d/a.jpg"), t.plusSeconds(minutes * 60 - 30)) << minutes;
    }
    queue.failed("/d/b c.jpg", t, 5);
    queue.unsent("/d/c.jpg", t);
    queue.unsent("/d/a.jpg", t);  // already queued: its wait stands
    EXPECT_TRUE(queue.saved());
  }
  UploadQueue again(path);  // the next start reads it all back
  EXPECT_EQ(again.size(), 3u);
  EXPECT_EQ(again.due(t), std::vector<std::string>{"/d/c.jpg"});
  EXPECT_EQ(again.due(t.plusSeconds(5 * 60)), (std::vector<std::string>{"/d/b c.jpg", "/d/c.jpg"}));
  EXPECT_EQ(again.due(t.plusSeconds(720 * 60)).size(), 3u);

  again.succeeded("/d/b c.jpg");
  EXPECT_FALSE(again.queued("/d/b c.jpg"));
  EXPECT_TRUE(again.published("/d/b c.jpg"));
  EXPECT_TRUE(UploadQueue(path).published("/d/b c.jpg"));
  EXPECT_FALSE(UploadQueue(path).published("/d/a.jpg"));

  // Sixteen graphs sent are remembered; the seventeenth pushes out the one sent longest
  // ago, and sending a graph again makes it the newest.
  for (int i = 1; i <= 15; ++i) again.succeeded("/d/" + std::to_string(i) + ".jpg");
  EXPECT_TRUE(again.published("/d/b c.jpg"));
  again.succeeded("/d/b c.jpg");
  again.succeeded("/d/16.jpg");
  EXPECT_FALSE(again.published("/d/1.jpg"));
  for (const std::string file : {"/d/2.jpg", "/d/15.jpg", "/d/b c.jpg", "/d/16.jpg"}) {
    EXPECT_TRUE(again.published(file)) << file;
    EXPECT_TRUE(UploadQueue(path).published(file)) << file;
  }
  EXPECT_FALSE(UploadQueue(path).published("/d/1.jpg"));

  folder.write("dayplot_upload_queue.txt", "retry\tx\t1\t/d/a.jpg\nsent\nretry\t1\t1\t\ngarbage\n");
  EXPECT_EQ(UploadQueue(path).size(), 0u);  // damaged lines dropped, nothing thrown
}

// The server is back as soon as any upload succeeds: what the queue holds goes at once,
// oldest first, each file once, and leaves the queue when sent.
TEST(UploadQueue, SendsWhatItHoldsOldestFirstOnceAnUploadSucceedsAgain) {
  testing::ProgramFolder folder;
  UploadQueue queue(UploadQueue::pathIn(folder.path()));
  testing::FakeLauncher launcher;
  UploadWatch watch;
  const auto starter = [&](const std::string& file) -> UploadWatch::Starter {
    return [&launcher, file] { return launcher.start({"ftpscript", {file}}).value_or(nullptr); };
  };
  watch.keepQueue(queue, starter, [] { return 60; });
  const LocalDateTime t{2011, 3, 16, 10, 0, 0};
  const auto startedFile = [&](size_t n) { return launcher.started.at(n).arguments.at(0); };
  for (const std::string file : {"/d/a.jpg", "/d/b.jpg"}) {
    watch.request(starter(file), file);
    launcher.end(launcher.started.size() - 1, 3);
    ASSERT_EQ(watch.collect(t).size(), 1u);
  }
  EXPECT_EQ(queue.all(), (std::vector<std::string>{"/d/a.jpg", "/d/b.jpg"}));

  // Today's graph goes through, long before the queue's next try.
  watch.request(starter("/d/c.jpg"), "/d/c.jpg");
  watch.request(starter("/d/b.jpg"), "/d/b.jpg");  // the schedule asks for b too
  launcher.end(2, 0);
  ASSERT_EQ(watch.collect(t.plusSeconds(60)).size(), 1u);
  ASSERT_EQ(launcher.started.size(), 4u);
  EXPECT_EQ(startedFile(3), "/d/b.jpg");  // it was waiting already
  EXPECT_EQ(watch.waiting(), 1u);         // a behind it, and b not twice
  EXPECT_TRUE(watch.holds("/d/a.jpg"));
  launcher.end(3, 0);
  watch.collect(t.plusSeconds(61));
  ASSERT_EQ(launcher.started.size(), 5u);
  EXPECT_EQ(startedFile(4), "/d/a.jpg");
  launcher.end(4, 0);
  watch.collect(t.plusSeconds(62));
  EXPECT_TRUE(watch.empty());
  EXPECT_EQ(queue.size(), 0u);
  EXPECT_EQ(launcher.started.size(), 5u);
}

}  // namespace
}  // namespace radmon
