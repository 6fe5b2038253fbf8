// The headless ratemon on a simulated tube across the daylight-saving changes and steps
// of the wall clock, its time sped up thirty times by libfaketime (the monotonic clock
// and the pacing of the sound too): every minute heard gets its line, labelled by the
// local time, in the order heard.
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "day_record.h"
#include "file_bytes.h"
#include "local_time.h"
#include "temp_station.h"

namespace radmon {
namespace {
namespace fs = std::filesystem;

struct ClockChange {
  const char* name;
  const char* zone;                 // TZ
  LocalDateTime start;              // in UTC, half a minute past so that labels have room to drift
  std::vector<std::string> labels;  // hh:mm of each line, in the order written
  const char* day;                  // yyyymmdd of every line
};

void PrintTo(const ClockChange& change, std::ostream* out) { *out << change.name; }

// libfaketime moves the monotonic clock with the wall clock when its time is changed
// under a running program, so a step is made here by a zone whose offset goes ten
// minutes forward at 02:00 UTC and back three minutes later: to ratemon, which reads
// only the local time and the monotonic clock, that is a step forward and one back.
const ClockChange kChanges[] = {
    {"BerlinSpring",
     "Europe/Berlin",
     {2026, 3, 29, 0, 57, 30},
     {"01:58", "01:59", "03:00", "03:01", "03:02"},
     "20260329"},
    {"BerlinAutumn",
     "Europe/Berlin",
     {2026, 10, 25, 0, 57, 30},
     {"02:58", "02:59", "02:00", "02:01", "02:02"},
     "20261025"},
    {"NewYorkSpring",
     "America/New_York",
     {2026, 3, 8, 6, 57, 30},
     {"01:58", "01:59", "03:00", "03:01", "03:02"},
     "20260308"},
    {"NewYorkAutumn",
     "America/New_York",
     {2026, 11, 1, 5, 57, 30},
     {"01:58", "01:59", "01:00", "01:01", "01:02"},
     "20261101"},
    {"StepForwardAndBack",
     "UTC0STEP-0:10,J88/2,J88/2:13",
     {2026, 3, 29, 1, 57, 30},
     {"01:58", "01:59", "02:10", "02:11", "02:12", "02:03", "02:04"},
     "20260329"},
};

class HeadlessClockChange : public ::testing::TestWithParam<ClockChange> {
 protected:
  void SetUp() override { station_.writeRatemonSettings(); }
  // libfaketime keeps its state in shared memory named by the process; ratemon ends
  // without the library's clean-up, so the test removes it.
  void TearDown() override {
    const std::string pid = testing::readBytes(station_.program / "pid.txt");
    if (pid.empty()) return;
    std::error_code ignored;
    fs::remove("/dev/shm/faketime_shm_" + pid, ignored);
    fs::remove("/dev/shm/sem.faketime_sem_" + pid, ignored);
  }
  ftp::testing::TempStation station_{"radmon_clock", "station", {"ratemon"}};
};

TEST_P(HeadlessClockChange, EveryMinuteHeardHasItsLineLabelledByTheLocalTime) {
  const ClockChange& c = GetParam();
  const int64_t epoch = LocalDateTime{1970, 1, 1, 0, 0, 0}.secondsUntil(c.start);
  const size_t minutes = c.labels.size();
  const std::string command = "printf %s $$ >pid.txt && TZ='" + std::string(c.zone) +
                              "' FAKETIME_FMT=%s FAKETIME='@" + std::to_string(epoch) +
                              " x30' LD_PRELOAD='" + FAKETIME_LIBRARY +
                              "' exec ./ratemon --headless --input sim:20 --silent --seconds " +
                              std::to_string(60 * minutes);
  ASSERT_EQ(station_.run(command), 0) << testing::readBytes(station_.program / "err.txt");

  std::istringstream out(testing::readBytes(station_.program / "out.txt"));
  std::vector<std::string> labels;
  std::string file;
  for (std::string line; std::getline(out, line);) {
    const auto record = parseRecordLine(line);
    if (!record) continue;  // the summary
    EXPECT_EQ(record->date, LocalDateTime::fromYyyymmdd(c.day)->slashDate()) << line;
    EXPECT_EQ(record->elapsedSeconds, 60 * static_cast<int64_t>(labels.size() + 1)) << line;
    labels.push_back(record->time);
    file += line + "\r\n";
  }
  EXPECT_EQ(labels, c.labels);
  EXPECT_EQ(testing::readBytes(station_.data / dayFileName(c.day)), file);
  EXPECT_EQ(std::distance(fs::directory_iterator(station_.data), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Changes, HeadlessClockChange, ::testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace radmon
