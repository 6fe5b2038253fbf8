// The signal watch through the real headless program on recordings at full speed:
// faults of the sound are logged in the day's event log within two minutes and their
// end after the sound is back; a healthy day raises nothing.
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

#include <gtest/gtest.h>

#include "event_log.h"
#include "pending_records.h"
#include "temp_station.h"
#include "text_files.h"
#include "tube_simulator.h"

namespace radmon {
namespace {
namespace fs = std::filesystem;

enum class Fault { Silence, Stuck, Hum50, Hum60 };

// Ten minutes of a 20 CPM tube, ten of the fault, ten of the tube again.
void writeRecording(const fs::path& path, Fault fault) {
  SF_INFO info{};
  info.samplerate = TubeSimulator::kSampleRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr);
  TubeSimulator tube(TubeProfile::constant(20), 11, 0);
  std::vector<uint8_t> s(TubeSimulator::kSampleRate);
  std::vector<short> frames(s.size());
  for (int second = 0; second < 1800; ++second) {
    tube.fill(s.data(), s.size());
    const bool faulty = second >= 600 && second < 1200;
    for (size_t i = 0; i < s.size(); ++i) {
      int v = s[i];
      const double t = second + static_cast<double>(i) / TubeSimulator::kSampleRate;
      if (faulty) {
        switch (fault) {
          case Fault::Silence:
            v = 128;
            break;
          case Fault::Stuck:
            v = 200;
            break;
          case Fault::Hum50:
            v += static_cast<int>(std::lround(127 * std::sin(2 * std::numbers::pi * 50 * t)));
            break;
          case Fault::Hum60:
            v += static_cast<int>(std::lround(127 * std::sin(2 * std::numbers::pi * 60 * t)));
            break;
        }
      }
      frames[i] = static_cast<short>((std::clamp(v, 0, 255) - 128) * 256);
    }
    sf_write_short(f, frames.data(), static_cast<sf_count_t>(frames.size()));
  }
  sf_close(f);
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
    Fault fault;
    const char* name;
    EventKind kind;
  };
  for (const Case& c : {Case{Fault::Silence, "silence", EventKind::NoSignal},
                        Case{Fault::Stuck, "stuck level", EventKind::NoSignal},
                        Case{Fault::Hum50, "50 Hz hum", EventKind::Hum},
                        Case{Fault::Hum60, "60 Hz hum", EventKind::Hum}}) {
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
  writeRecording(root_ / "fault.wav", Fault::Silence);
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
