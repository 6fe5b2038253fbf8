// When an upload's end may go after the server acknowledged its last byte: at once to a
// server that reads as it takes, later to one whose buffers still hold the file.
#include <gtest/gtest.h>

#include "held_end.h"

namespace radmon::ftp {
namespace {

TEST(EndMayGo, WaitsInProportionToWhatTheServersBuffersHold) {
  struct Case {
    const char* what;
    DrainView view;
    bool go;
  };
  // 80 KiB in the buffers of a server that reads 1000 bytes a second (its window as
  // Linux advertises it on 127.0.0.1: no update until the buffer has been read).
  const Case cases[] = {
      {"a server that reads as it takes", {0, 85000, 84000, 84000}, true},
      {"16 KiB left: the reply's minute covers it",
       {0, 85000, 85000 - 16 * 1024, 85000 - 16 * 1024},
       true},
      {"just over 16 KiB left", {0, 85000, 85000 - 16 * 1024 - 1, 85000 - 16 * 1024 - 1}, false},
      {"slow server, nothing read yet", {60, 85000, 3000, 3000}, false},
      {"slow server, its buffer read", {82, 85000, 3000, 105000}, true},
      {"reopening fast enough for the rest", {10, 200000, 0, 100000}, true},
      {"reopening too slowly for the rest", {100, 200000, 0, 100000}, false},
      {"82000 bytes held, at 256 B/s: just under 320 s", {319.9, 85000, 3000, 3000}, false},
      {"82000 bytes held, at 256 B/s: 320 s", {320.4, 85000, 3000, 3000}, true},
      {"a huge window waits eight minutes at most", {480, 4000000, 0, 0}, true},
      {"a huge window, just under eight minutes", {479, 4000000, 0, 0}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(endMayGo(c.view), c.go) << c.what;
}

}  // namespace
}  // namespace radmon::ftp
