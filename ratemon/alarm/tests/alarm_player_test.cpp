#include "alarm_player.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>

#include "alarm_tones.h"
#include "qt_app.h"
#include "temp_station.h"

namespace radmon {
namespace fs = std::filesystem;

TEST(AlarmPlayer,
     BuiltInTonesThatLoopCleanlyAndTheWavLookedForInTheWorkingFolderThenBesideTheProgram) {
  testApp();
  const ftp::testing::TempStation temp{"radmon_alarm", "prog", {}};
  const fs::path& base = temp.dir;
  fs::create_directories(base / "work");
  const fs::path oldCwd = fs::current_path();
  fs::current_path(base / "work");
  ASSERT_TRUE(writeAlarmWav((base / "prog" / "daiichi.wav").string(), AlarmPattern::Stage1));
  ASSERT_TRUE(writeAlarmWav((base / "prog" / "daini.wav").string(), AlarmPattern::Stage2));
  ASSERT_TRUE(writeAlarmWav((base / "work" / "daini.wav").string(), AlarmPattern::Stage1));

  AlarmPlayer player((base / "prog").string() + "/");
  EXPECT_EQ(player.resolve("daini.wav"), (base / "work" / "daini.wav").string());
  EXPECT_EQ(player.resolve("daiichi.wav"), (base / "prog" / "daiichi.wav").string());
  const std::string fallback = player.resolve("nothing.wav");
  EXPECT_TRUE(fs::is_regular_file(fallback));
  EXPECT_EQ(fs::path(fallback).filename(), "fallback_alarm.wav");

  fs::current_path(oldCwd);
  // The built-in tones: the stages and the fault chime sound different and loop cleanly.
  const auto a = alarmToneSamples(AlarmPattern::Stage1);
  const auto b = alarmToneSamples(AlarmPattern::Stage2);
  EXPECT_EQ(a.size(), size_t(0.8 * kAlarmSampleRate));
  EXPECT_EQ(b.size(), size_t(0.2 * kAlarmSampleRate));
  EXPECT_NE(a.size(), b.size());
  // Faded at both ends, so the loop joins without a click.
  EXPECT_EQ(a.front(), 0);
  EXPECT_LT(std::abs(a.back()), 300);
  EXPECT_EQ(b.front(), 0);
  // The fault chime: seldom and less than half as loud as an alarm.
  const auto chime = alarmToneSamples(AlarmPattern::Fault);
  auto peak = [](const std::vector<int16_t>& s) {
    int p = 0;
    for (int16_t v : s) p = std::max(p, std::abs(int(v)));
    return p;
  };
  EXPECT_NEAR(double(chime.size()), 3.0 * kAlarmSampleRate, 2);
  EXPECT_LT(peak(chime), peak(a) / 2);
  EXPECT_EQ(chime.front(), 0);
}

// No sound server, so no output: the first sound that cannot play is told, and only it;
// the player goes on taking sounds.
TEST(AlarmPlayer, AnOutputThatCannotBeOpenedIsToldOnce) {
  ::setenv("PULSE_SERVER", "unix:/nonexistent/radmon-no-server", 1);
  testApp();
  AlarmPlayer player("/nonexistent/");
  std::vector<std::string> told;
  player.onUnavailable([&](const std::string& output) { told.push_back(output); });
  player.playLoop("daiichi.wav");
  player.playLoop("daini.wav");
  player.stop();
  player.playLoop("daiichi.wav");
  EXPECT_EQ(told, std::vector<std::string>{""});
  player.stop();
}

}  // namespace radmon
