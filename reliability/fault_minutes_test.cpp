// Recordings of a tube with a dead input, mains hum or clipping in the middle, through
// the real programs: ratemon --headless --fast writes the day file and the event log,
// dayplot --process and --month read them. A dead stretch leaves a gap, not zeros; the
// minutes of hum and clipping are written as heard and set aside in the day's and the
// month's figures.
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "day_table.h"
#include "event_log.h"
#include "fault_sound.h"
#include "file_bytes.h"
#include "period_table.h"
#include "suspect_minutes.h"
#include "temp_station.h"

namespace radmon {
namespace {
namespace fs = std::filesystem;

class FaultMinutes : public ::testing::Test {
 protected:
  void SetUp() override { station_.writeRatemonSettings("18", "data/", "0,0,1"); }

  // Plays `stretches` into a fresh data folder on 2026-12-08 from midnight.
  void record(const std::vector<SoundStretch>& stretches) {
    fs::remove_all(data_);
    fs::create_directories(data_);
    ASSERT_TRUE(FaultSound(5).writeWav((root_ / "fault.wav").string(), stretches));
    ASSERT_EQ(station_.run("./ratemon --headless --input fault.wav --fast --start "
                           "'2026-12-08 00:00:00'"),
              0);
  }
  std::vector<DayRecord> records() const {
    return readDayTable((data_ / dayFileName("20261208")).string()).value.rows;
  }
  // The statistics line dayplot --process prints on stdout.
  std::string statistics() const {
    EXPECT_EQ(station_.run("./dayplot --process 20261208"), 0)
        << testing::readBytes(root_ / "err.txt");
    std::istringstream out(testing::readBytes(root_ / "out.txt"));
    std::string line, found;
    while (std::getline(out, line))
      if (line.starts_with("statistics ")) found = line;
    return found;
  }

  ftp::testing::TempStation station_{"radmon_faultmin", "station", {"ratemon", "dayplot"}};
  const fs::path root_ = station_.program;
  const fs::path data_ = root_ / "data";
};

int minuteOf(const DayRecord& r) { return r.when() ? r.when()->secondOfDay() / 60 : -1; }

TEST_F(FaultMinutes, ADeadInputLeavesAGapAndNoZeroLine) {
  for (const SoundStretch dead :
       {SoundStretch{SoundStretch::Flat, 600}, SoundStretch{SoundStretch::Stuck, 600, 20, 200}}) {
    SCOPED_TRACE(dead.kind);
    record({{SoundStretch::Tube, 600}, dead, {SoundStretch::Tube, 600}});
    const auto rows = records();
    ASSERT_GE(rows.size(), 15u);
    EXPECT_LT(rows.size(), 24u) << "the dead minutes are not written";
    std::vector<int> minutes;
    for (const DayRecord& r : rows) {
      minutes.push_back(minuteOf(r));
      EXPECT_FALSE(r.rate == 0 && r.cpm == 0) << "no measured zero at minute " << minuteOf(r);
    }
    // 00:11 holds the first ten seconds before the watch could tell; 00:12 to 00:20 heard
    // nothing but the dead input.
    for (int m = 12; m <= 20; ++m) EXPECT_EQ(std::count(minutes.begin(), minutes.end(), m), 0) << m;
    EXPECT_EQ(std::count(minutes.begin(), minutes.end(), 10), 1);
    EXPECT_EQ(std::count(minutes.begin(), minutes.end(), 25), 1);
  }
}

// An hour of tube before and after an hour of full-scale hum, and ten minutes of
// clipping between tubes: written as heard, set aside in the figures.
TEST_F(FaultMinutes, HumAndClippingMinutesAreSetAsideInTheDayAndTheMonth) {
  struct Case {
    const char* name;
    std::vector<SoundStretch> sound;
    double heardAbove;  // the fault's highest minute as written
  };
  for (const Case& c :
       {Case{"50 Hz hum",
             {{SoundStretch::Tube, 3600}, {SoundStretch::Hum, 3600}, {SoundStretch::Tube, 3600}},
             20},
        Case{"clipping",
             {{SoundStretch::Tube, 600}, {SoundStretch::Clipped, 600}, {SoundStretch::Tube, 600}},
             0}}) {
    SCOPED_TRACE(c.name);
    record(c.sound);
    const auto rows = records();
    // Written as heard: the fault's minutes are there, far above the tube.
    double heard = 0, clean = 0, all = 0;
    int cleanCount = 0;
    const int from = c.sound[0].seconds / 60, to = from + c.sound[1].seconds / 60;
    for (const DayRecord& r : rows) {
      heard = std::max(heard, r.rate);
      all += r.rate;
      // Minutes clear of the fault by two on either side are the tube's alone.
      if (minuteOf(r) < from - 1 || minuteOf(r) > to + 2) {
        clean += r.rate;
        ++cleanCount;
      }
    }
    EXPECT_GT(heard, c.heardAbove) << "the fault's minutes are written";
    ASSERT_GT(cleanCount, 0);

    const std::string line = statistics();
    std::printf("[ figures  ] %s: %s (written %zu lines, highest %.3f, mean of all %.3f)\n", c.name,
                line.c_str(), rows.size(), heard, all / static_cast<double>(rows.size()));
    double max = 0, mean = 0;
    int minutes = 0, suspect = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "statistics max=%lf mean=%lf minutes=%d suspect=%d", &max,
                          &mean, &minutes, &suspect),
              4)
        << line;
    EXPECT_EQ(minutes + suspect, static_cast<int>(rows.size()));
    EXPECT_GE(suspect, to - from);
    EXPECT_LE(suspect, to - from + 4);
    EXPECT_LT(max, 1) << "the day's maximum is the tube's";
    EXPECT_NEAR(mean, clean / cleanCount, 0.02);

    // The month: the day has the mean of the minutes counted, its range the tube's.
    EXPECT_EQ(station_.run("./dayplot --month 202612"), 0);
    const DaySummary day = readDaySummary(data_.string() + "/", "20261208").value;
    EXPECT_EQ(day.records, minutes);
    EXPECT_EQ(day.setAside, suspect);
    EXPECT_NEAR(day.mean, mean, 0.0005);
    EXPECT_LT(day.high, 1);
  }
}

// A run that ends while its input is dead closes the fault in the event log as it
// stops; a later run on a good input the same day has its minutes counted, not set
// aside for the earlier fault.
TEST_F(FaultMinutes, AFaultOpenAtTheStopIsClosedAndALaterRunCountsAsGood) {
  record({{SoundStretch::Tube, 300}, {SoundStretch::Flat, 300}});
  const auto events = readEventLog(data_.string() + "/", "20261208");
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events.front().kind, EventKind::NoSignal);
  EXPECT_EQ(events.back().kind, EventKind::SignalOk);
  const size_t first = records().size();

  ASSERT_EQ(station_.run("./ratemon --headless --input sim:20 --fast --seconds 300 --start "
                         "'2026-12-08 00:30:00'"),
            0)
      << testing::readBytes(root_ / "err.txt");
  ASSERT_EQ(records().size(), first + 5);
  const std::string line = statistics();
  int minutes = 0, suspect = 0;
  ASSERT_EQ(std::sscanf(line.c_str(), "statistics max=%*f mean=%*f minutes=%d suspect=%d", &minutes,
                        &suspect),
            2)
      << line;
  // Only the first run's minutes next to its fault are set aside; the second run's count.
  EXPECT_EQ(minutes + suspect, static_cast<int>(first + 5)) << line;
  EXPECT_LE(suspect, 3) << line;
  const auto rows = records();
  const auto aside =
      suspectRecords(rows, faultPeriods(readEventLog(data_.string() + "/", "20261208")));
  for (size_t i = first; i < rows.size(); ++i) EXPECT_FALSE(aside[i]) << minuteOf(rows[i]);
}

// Five minutes of broadband noise between tubes, loud or quiet: told in the event log
// within ten seconds, and none of its minutes is a dose in the day's figures.
TEST_F(FaultMinutes, BroadbandNoiseIsToldAndItsMinutesAreSetAside) {
  const struct {
    const char* name;
    SoundStretch noise;
  } cases[] = {
      {"uniform", {SoundStretch::Uniform, 300}},
      {"Gaussian, sigma 20", {SoundStretch::RailNoise, 300, 20, 128, 50, 20}},
      {"Gaussian, sigma 40", {SoundStretch::RailNoise, 300, 20, 128, 50, 40}},
      {"Gaussian, sigma 100", {SoundStretch::RailNoise, 300, 20, 128, 50, 100}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    record({{SoundStretch::Tube, 600}, c.noise, {SoundStretch::Tube, 600}});
    const auto events = readEventLog(data_.string() + "/", "20261208");
    const auto told = std::find_if(events.begin(), events.end(), [](const EventLine& e) {
      return e.kind == EventKind::Clipping;
    });
    ASSERT_NE(told, events.end());
    // The virtual clock stands at the end of each second heard.
    EXPECT_GT(told->when.secondOfDay(), 600);
    EXPECT_LE(told->when.secondOfDay(), 610);

    const std::string line = statistics();
    double max = 0, mean = 0;
    int minutes = 0, suspect = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "statistics max=%lf mean=%lf minutes=%d suspect=%d", &max,
                          &mean, &minutes, &suspect),
              4)
        << line;
    std::printf("[ figures  ] %s: told after %d s; %s\n", c.name, told->when.secondOfDay() - 600,
                line.c_str());
    EXPECT_GE(suspect, 5);
    EXPECT_LE(suspect, 5 + 4);
    EXPECT_LT(max, 1) << "the day's maximum is the tube's";
    double clean = 0;
    int cleanCount = 0;
    for (const DayRecord& r : records())
      if (minuteOf(r) < 9 || minuteOf(r) > 17) clean += r.rate, ++cleanCount;
    ASSERT_GT(cleanCount, 0);
    EXPECT_NEAR(mean, clean / cleanCount, 0.02) << "the day's mean is the tube's";
  }
}

}  // namespace
}  // namespace radmon
