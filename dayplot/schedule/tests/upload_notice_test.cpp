// A success that the client qualifies: ftpscript's notice about a server that cannot
// replace the graph in one step reaches the operator with the success, once.
#include <gtest/gtest.h>

#include "shell_fakes.h"
#include "upload_watch.h"

namespace radmon {
namespace {

using testing::FakeLauncher;

TEST(UploadWatch, SuccessCarriesTheClientsNoticeAndOnlyThat) {
  FakeLauncher launcher;
  UploadWatch watch;
  auto starter = [&] { return launcher.start({"ftpscript", {}}).process; };
  const LocalDateTime t{2026, 12, 1, 0, 5, 0};
  struct Case {
    const char* output;
    const char* sentence;
  };
  for (const Case& c :
       {Case{"転送: g.jpg ... 成功 (10 バイト)\r\n注意: サーバ h:21 は直接上書きします\r\n"
             "終了: 転送成功 1 件, 失敗 0 件\r\n",
             "FTP転送成功: g.jpg (注意: サーバ h:21 は直接上書きします)"},
        Case{"転送: g.jpg ... 成功 (10 バイト)\n終了: 転送成功 1 件, 失敗 0 件\n",
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
