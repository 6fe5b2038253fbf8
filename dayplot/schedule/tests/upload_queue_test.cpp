// The queue of uploads that have not reached the server: waits that double, a file that
// outlives the program, and the graphs that went out.
#include "upload_queue.h"

#include <gtest/gtest.h>

#include "shell_fakes.h"

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
    EXPECT_FALSE(queue.saveError());
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

}  // namespace
}  // namespace radmon
