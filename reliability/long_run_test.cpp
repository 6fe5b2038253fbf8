// A week of the station in one fast replay: one day file per day, split exactly at
// midnight, and resident memory that stays flat once the first hour has run.
#include <filesystem>
#include <fstream>
#include <iostream>

#include <gtest/gtest.h>

#include "child_process.h"
#include "day_record.h"
#include "station_files.h"
#include "temp_station.h"

namespace radmon::reliability {
namespace fs = std::filesystem;

TEST(LongRun, SevenDaysOfRatemonKeepEveryMinuteInFlatMemory) {
  const ftp::testing::TempStation folder{"radmon_week", "station", {"ratemon"}};
  const fs::path& root = folder.program;
  writeStationSettings(root, root / "data");

  ChildProcess station(
      root.string(),
      {(root / "ratemon").string(), "--headless", "--input", "sim:20:120@13:00-16:00", "--fast",
       "--start", "2011-09-17 23:59:59", "--seconds", std::to_string(7 * 86400)});
  ASSERT_GT(station.pid(), 0);
  // Memory is read as each hour's last line comes out, while the station runs on.
  std::vector<long> hourly;
  std::string line;
  int lines = 0;
  while (station.readLine(line)) {
    if (line.starts_with("summary")) break;
    if (++lines % 60 == 0) hourly.push_back(residentKiB(station.pid()));
  }
  const int status = station.wait();
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  ASSERT_EQ(lines, 7 * 1440);
  ASSERT_EQ(hourly.size(), 7u * 24);

  long highest = 0;
  for (size_t h = 1; h < hourly.size(); ++h) highest = std::max(highest, hourly[h]);
  std::cout << "resident memory: after the first hour " << hourly[0] << " KiB, highest later "
            << highest << " KiB, at the end " << hourly.back() << " KiB" << std::endl;
  EXPECT_GT(hourly[0], 0);
#ifndef __SANITIZE_ADDRESS__  // the sanitizer's quarantine holds freed memory on purpose
  EXPECT_LE(highest - hourly[0], 2048);
#endif

  for (int day = 18; day <= 24; ++day) {
    SCOPED_TRACE(day);
    const auto dayLines = fileLines(root / "data" / dayFileName("201109" + std::to_string(day)));
    ASSERT_EQ(dayLines.size(), 1440u);
    for (size_t k = 0; k < dayLines.size(); ++k) {
      ASSERT_EQ(dayLines[k].substr(0, 12), "\"2011/09/" + std::to_string(day) + "\"");
      ASSERT_EQ(timeOf(dayLines[k]), minuteText(static_cast<int>(k)));
      ASSERT_EQ(elapsedOf(dayLines[k]), ((day - 18) * 1440 + static_cast<int64_t>(k) + 1) * 60);
    }
  }
  EXPECT_FALSE(fs::exists(root / "data" / dayFileName("20110917")));
  EXPECT_FALSE(fs::exists(root / "data" / dayFileName("20110925")));
}

}  // namespace radmon::reliability
