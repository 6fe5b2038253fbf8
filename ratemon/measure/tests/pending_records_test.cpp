#include "pending_records.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "day_record.h"
#include "event_log.h"
#include "file_bytes.h"
#include "temp_station.h"

namespace radmon {
namespace {
namespace fs = std::filesystem;
using testing::readBytes;

std::string line(int day, int minute) {
  return formatRecordLine({{2011, 9, day, 23, minute, 0}, 0.1f, 20, 100, 60 * (minute + 1)});
}

// A fresh station folder with its data folder; written/left/fault of a flush checked in one.
class PendingRecords : public ::testing::Test {
 protected:
  template <typename Flush>
  static void expectFlush(const Flush& flush, int written, int left, bool fault) {
    ASSERT_TRUE(flush);
    EXPECT_EQ(flush->value.written, written);
    EXPECT_EQ(flush->value.left, left);
    EXPECT_EQ(flush->value.fault.has_value(), fault);
  }
  ftp::testing::TempStation temp_{"radmon_pending", "station", {}};
  const fs::path dir = temp_.program;
  const std::string station = dir.string() + "/";
  const std::string data = station + "data/";
};

// Lines kept at one end go into their own day files at the next start, in order and
// after what the files hold; those that still cannot be written stay kept.
TEST_F(PendingRecords, KeptLinesReachTheirDayFilesAtTheNextStart) {
  EXPECT_FALSE(flushPendingRecords(station, data));  // nothing kept: nothing to do

  ASSERT_TRUE(keepPendingRecords(station, {line(19, 58), line(19, 59)}));
  ASSERT_TRUE(keepPendingRecords(station, {"\"2011/09/\r\n", line(20, 0)}));  // one torn
  std::ofstream(dir / "data" / dayFileName("20110919"), std::ios::binary) << line(19, 57);

  // A missing data folder keeps everything.
  auto flush = flushPendingRecords(station, station + "gone/");
  expectFlush(flush, 0, 3, true);
  EXPECT_TRUE(fs::exists(flush->value.path));
  EXPECT_EQ(flush->issues, (std::vector<LineIssue<RecordIssue>>{{3, RecordIssue::NotRecord, ""}}));

  flush = flushPendingRecords(station, data);
  expectFlush(flush, 3, 0, false);
  EXPECT_TRUE(flush->clean()) << "the torn line went at the first start";
  EXPECT_FALSE(fs::exists(flush->value.path));
  EXPECT_EQ(readBytes(dir / "data" / dayFileName("20110919")),
            line(19, 57) + line(19, 58) + line(19, 59));
  EXPECT_EQ(readBytes(dir / "data" / dayFileName("20110920")), line(20, 0));
}

// A line whose day file cannot be written holds back every later line, even those whose
// files could take them, so that no day file ever gets a later minute before an earlier.
TEST_F(PendingRecords, LinesAfterOneThatStaysKeptStayKeptToo) {
  fs::create_directories(dir / "data" / dayFileName("20110919"));  // a folder: no file there
  ASSERT_TRUE(keepPendingRecords(station, {line(19, 59), line(20, 0), line(20, 1)}));

  auto flush = flushPendingRecords(station, data);
  expectFlush(flush, 0, 3, true);
  EXPECT_FALSE(fs::exists(dir / "data" / dayFileName("20110920")));
  EXPECT_EQ(readBytes(flush->value.path), line(19, 59) + line(20, 0) + line(20, 1));

  fs::remove(dir / "data" / dayFileName("20110919"));
  flush = flushPendingRecords(station, data);
  ASSERT_TRUE(flush);
  EXPECT_EQ(flush->value.written, 3);
  EXPECT_EQ(readBytes(dir / "data" / dayFileName("20110920")), line(20, 0) + line(20, 1));
}

// Events wait in a pending file of their own, in the event log's line format, and go
// into the event log of their own day after what it holds.
TEST_F(PendingRecords, KeptEventsReachTheirEventLogsAtTheNextStart) {
  const auto event = [](int day, EventKind kind) {
    return formatEventLine({{2011, 9, day, 23, 59, 0}, kind, std::string(eventKindName(kind))});
  };
  ASSERT_TRUE(keepPending(Pending::Events, station,
                          {event(19, EventKind::NoSignal), event(20, EventKind::SignalOk)}));
  EXPECT_EQ(readBytes(dir / kPendingEventsFileName),
            event(19, EventKind::NoSignal) + event(20, EventKind::SignalOk));
  EXPECT_FALSE(fs::exists(dir / kPendingFileName));  // the records' file is not touched
  std::ofstream(dir / "data" / eventFileName("20110919"), std::ios::binary)
      << event(19, EventKind::Hum);

  const auto flush = flushPending(Pending::Events, station, station + "data/");
  ASSERT_TRUE(flush);
  EXPECT_EQ(flush->value.what, Pending::Events);
  EXPECT_EQ(flush->value.written, 2);
  EXPECT_FALSE(fs::exists(flush->value.path));
  EXPECT_EQ(readBytes(dir / "data" / eventFileName("20110919")),
            event(19, EventKind::Hum) + event(19, EventKind::NoSignal));
  EXPECT_EQ(readBytes(dir / "data" / eventFileName("20110920")), event(20, EventKind::SignalOk));
}

}  // namespace
}  // namespace radmon
