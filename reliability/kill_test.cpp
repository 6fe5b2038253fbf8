// ratemon killed outright (SIGKILL, as in a power cut of the process) at random moments
// of a fast replay: every day file it leaves reads back through dayplot's reader, the
// minutes written are the first ones in order, at most the line being written at that
// instant is torn, and the next start in the same folder is not refused.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "child_process.h"
#include "day_record.h"
#include "day_table.h"
#include "station_files.h"
#include "temp_station.h"

namespace radmon::reliability {
namespace fs = std::filesystem;

TEST(KilledRatemon, LeavesDayFilesThatReadBackAtAHundredRandomMoments) {
  const ftp::testing::TempStation folder{"radmon_kill", "station", {"ratemon"}};
  const fs::path& root = folder.program;
  std::mt19937 random(20110919);
  std::uniform_int_distribution<int> moment(1, 400);  // ms: start-up and ~2000 lines

  int torn = 0, withLines = 0;
  for (int round = 0; round < 100; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const fs::path data = root / ("data" + std::to_string(round));
    fs::create_directories(data);
    writeStationSettings(root, data);
    {
      ChildProcess station(root.string(), {(root / "ratemon").string(), "--headless", "--input",
                                           "sim:20", "--fast", "--start", "2011-09-17 23:59:59",
                                           "--seconds", std::to_string(7 * 86400)});
      ASSERT_GT(station.pid(), 0);
      // Odd rounds count the moment from the first line written, so that half the kills
      // fall among the lines however slowly a loaded machine starts the program.
      if (round % 2 == 1) {
        const fs::path first = data / dayFileName("20110918");
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!fs::exists(first) && std::chrono::steady_clock::now() < giveUp)
          std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
      ::kill(station.pid(), SIGKILL);
      const int status = station.wait();
      // It was still running: neither refused by the lock of the round before nor done.
      ASSERT_TRUE(WIFSIGNALED(status)) << "ended by itself with status " << status;
    }

    // The files of the days in order; the minutes run on from file to file.
    int64_t minutes = 0;
    bool ended = false;
    for (int day = 18; day <= 24; ++day) {
      const fs::path file = data / dayFileName("201109" + std::to_string(day));
      if (!fs::exists(file)) {
        ended = true;
        continue;
      }
      ASSERT_FALSE(ended) << file << " after a missing day";
      const auto table = readDayTable(file.string());
      ASSERT_FALSE(table.has(RecordIssue::Missing));
      const auto lines = fileLines(file);
      const bool lastFile = !fs::exists(data / dayFileName("201109" + std::to_string(day + 1)));
      const bool tornEnd = !testing::readBytes(file).ends_with("\r\n") && !lines.empty();
      if (tornEnd) {
        ASSERT_TRUE(lastFile) << "a torn line before the last file";
        ++torn;
      }
      EXPECT_EQ(table.issues.size(), 0u + (tornEnd && !parseRecordLine(lines.back()) ? 1 : 0));
      for (size_t k = 0; k < lines.size(); ++k) {
        if (tornEnd && k + 1 == lines.size()) break;
        ++minutes;
        ASSERT_EQ(elapsedOf(lines[k]), minutes * 60) << lines[k];
      }
    }
    if (minutes > 0) ++withLines;
  }
  std::cout << "rounds with lines written: " << withLines << " of 100; torn last lines: " << torn
            << std::endl;
  EXPECT_GE(withLines, 50);
}

}  // namespace radmon::reliability
