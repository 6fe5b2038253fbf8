// The signal watch through the real headless program on recordings at full speed:
// faults of the sound are logged in the day's event log within two minutes and their
// end after the sound is back; a healthy day raises nothing.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "event_log.h"
#include "fault_sound.h"
#include "pending_records.h"
#include "temp_station.h"
#include "text_files.h"
#include "tube_simulator.h"

namespace radmon {
namespace {
namespace fs = std::filesystem;

// Ten minutes of a 20 CPM tube, ten of the fault, ten of the tube again.
void writeRecording(const fs::path& path, const SoundStretch& fault) {
  ASSERT_TRUE(FaultSound(11).writeWav(
      path.string(), {{SoundStretch::Tube, 600}, fault, {SoundStretch::Tube, 600}}));
}

class HeadlessWatch : public ::testing::Test {
 protected:
  void SetUp() override { station_.writeRatemonSettings("18", "data/", "0,0,1"); }

  int run(const std::string& args) {
    return station_.run("./ratemon --headless " + args + " --fast --start '2026-12-08 00:00:00'");
  }
  std::vector<EventLine> events() {
    const auto text = readTextFile((root_ / "data" / eventFileName("20261208")).string());
    return text ? parseEventLog(*text).value : std::vector<EventLine>{};
  }
  ftp::testing::TempStation station_{"radmon_watch", "station", {"ratemon"}};
  const fs::path root_ = station_.program;
};

TEST_F(HeadlessWatch, EachFaultOfARecordingIsLoggedWithinTwoMinutesAndItsEndAfter) {
  struct Case {
    SoundStretch fault;
    const char* name;
    EventKind kind;
  };
  for (const Case& c :
       {Case{{SoundStretch::Flat, 600}, "silence", EventKind::NoSignal},
        Case{{SoundStretch::Stuck, 600, 20, 200}, "stuck level", EventKind::NoSignal},
        Case{{SoundStretch::Hum, 600, 20, 128, 50}, "50 Hz hum", EventKind::Interference},
        Case{{SoundStretch::Hum, 600, 20, 128, 60}, "60 Hz hum", EventKind::Interference},
        Case{{SoundStretch::RailNoise, 600, 20, 128, 50, 62},
             "noise at the rails",
             EventKind::Clipping}}) {
    SCOPED_TRACE(c.name);
    fs::remove(root_ / "data" / eventFileName("20261208"));
    writeRecording(root_ / "fault.wav", c.fault);
    ASSERT_EQ(run("--input fault.wav"), 0);
    const auto log = events();
    ASSERT_GE(log.size(), 2u);
    // The virtual clock stands at the end of each second heard: 00:10:00 ends the tenth minute.
    EXPECT_EQ(log[0].kind, c.kind);
    EXPECT_GT(log[0].when.secondOfDay(), 600);
    EXPECT_LE(log[0].when.secondOfDay(), 600 + 120);
    EXPECT_EQ(log.back().kind, EventKind::SignalOk);
    EXPECT_GT(log.back().when.secondOfDay(), 1200);
    EXPECT_FALSE(log[0].text.empty());
    std::printf("[ figures  ] %s: %s after %d s, signal-ok %d s after the tube came back\n", c.name,
                std::string(eventKindName(c.kind)).c_str(), log[0].when.secondOfDay() - 600,
                log.back().when.secondOfDay() - 1200);
  }
}

TEST_F(HeadlessWatch, ADayOfAHealthyTubeRaisesNoEvent) {
  ASSERT_EQ(run("--input sim:20 --seconds 86400"), 0);
  EXPECT_FALSE(fs::exists(root_ / "data" / eventFileName("20261208")));
  EXPECT_FALSE(fs::exists(root_ / "data" / eventFileName("20261209")));
}

TEST_F(HeadlessWatch, WithCollectionOffAnEventIsToldButNothingIsWrittenInTheDataFolder) {
  station_.writeRatemonSettings("18", "data/", "0,0,0");  // データ収集(CSV) unticked
  // A last run's kept event waits for a run that collects.
  const std::string pending = pendingPath(Pending::Events, root_.string() + "/");
  const std::string kept = "\"2026/12/07\",\"23:00:00\",\"hum\",\"kept\"\r\n";
  std::ofstream(pending, std::ios::binary) << kept;
  writeRecording(root_ / "fault.wav", {SoundStretch::Flat, 600});
  ASSERT_EQ(run("--input fault.wav"), 0);
  const std::string err = readTextFile((root_ / "err.txt").string()).value_or("");
  EXPECT_NE(err.find("信号なし"), std::string::npos) << err;
  EXPECT_NE(err.find("(no-signal)"), std::string::npos) << err;  // and its end
  EXPECT_TRUE(fs::is_empty(station_.data));
  EXPECT_EQ(readTextFile(pending), kept);
  EXPECT_FALSE(fs::exists(pendingPath(Pending::Records, root_.string() + "/")));
}

}  // namespace
}  // namespace radmon
