// ratemon --headless --mqtt as an operator runs it, against a real mosquitto: a day
// delivered in order with its discovery, the broker away for two hours of the replay,
// a refused password and an untrusted certificate, a restart that catches up.
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include "file_bytes.h"

#include "day_record.h"
#include "event_log.h"
#include "fault_sound.h"
#include "kept_lines.h"
#include "local_broker.h"
#include "temp_station.h"
#include "text_files.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::keptLines;
using testing::LocalBroker;
using testing::payloadsOn;
using testing::ReceivedMessage;
using testing::Subscriber;
using testing::waitExit;

const std::string kStart = "2026-03-01 23:59:59";
const std::string kDay = "20260302";
const std::string kDayStart = "2026-03-02 00:00:00";

class HeadlessMqtt : public ::testing::Test {
 protected:
  HeadlessMqtt() {
    station.writeRatemonSettings();
    // A chosen station id, so the discovery topics are known beforehand.
    std::ofstream(root / "ratemon_station_id.txt") << "e2e\n";
  }

  // Starts ratemon on a simulated tube; stdout and stderr go to out.txt and err.txt.
  pid_t launch(const std::string& url, int64_t seconds, const std::string& extra = "",
               const std::string& start = kStart, bool fast = true) {
    return testing::spawnIn(root, "./ratemon --headless --input " + input + " " +
                                      (fast ? "--fast " : "") + "--start '" + start +
                                      "' --seconds " + std::to_string(seconds) + " --mqtt '" + url +
                                      "' " + extra);
  }
  std::vector<std::string> dayFileLines() const {
    const std::string text = testing::readBytes(root / "data" / dayFileName(kDay));
    const auto lines = textLines(text);
    return {lines.begin(), lines.end()};
  }
  size_t dayLines() const { return dayFileLines().size(); }
  std::string err() const { return testing::readBytes(root / "err.txt"); }
  // Waits until the day file holds at least `n` lines: for up to two minutes, since
  // a replay under ThreadSanitizer on a busy machine took over 20 s for two hours.
  bool waitForLines(size_t n) const {
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (std::chrono::steady_clock::now() < deadline) {
      if (dayLines() >= n) return true;
      std::this_thread::sleep_for(5ms);
    }
    return false;
  }
  static std::string url(int port, const std::string& account = "", bool tls = false) {
    return std::string(tls ? "mqtts://" : "mqtt://") + account +
           "127.0.0.1:" + std::to_string(port) + "/radmon/e2e";
  }

  ftp::testing::TempStation station{"radmon_mqtt", "station", {"ratemon"}};
  const fs::path root = station.program;
  std::string input = "sim:20";
};

TEST_F(HeadlessMqtt, ADayArrivesInOrderWithItsDiscovery) {
  LocalBroker broker;
  ASSERT_TRUE(broker.start());
  Subscriber live(broker.port(), "radmon/e2e/state");
  ASSERT_EQ(waitExit(launch(url(broker.port()), 86400, "--mqtt-discovery ha")), 0) << err();
  ASSERT_TRUE(live.waitFor([](const auto& ms) { return ms.size() >= 1440; }, 10s));

  const auto payloads = live.payloadsOn("radmon/e2e/state");
  const auto lines = dayFileLines();
  ASSERT_EQ(lines.size(), 1440u);
  EXPECT_EQ(payloads.size(), 1440u) << "each once while the broker stayed";
  EXPECT_EQ(keptLines(payloads), lines);

  // A newcomer gets the retained messages: the newest state, availability, discovery.
  Subscriber later(broker.port(), "#");
  // The state, availability and eight discovery configs.
  ASSERT_TRUE(later.waitFor([](const auto& ms) { return ms.size() >= 10; }, 5s));
  std::map<std::string, ReceivedMessage> retained;
  for (const auto& m : later.messages()) {
    EXPECT_TRUE(m.retained) << m.topic;
    retained[m.topic] = m;
  }
  EXPECT_EQ(keptLines({retained["radmon/e2e/state"].payload}), (std::vector{lines.back()}));
  EXPECT_EQ(retained["radmon/e2e/availability"].payload, "offline");
  const auto dose =
      nlohmann::json::parse(retained["ha/sensor/radmon_e2e/dose_rate/config"].payload);
  EXPECT_EQ(dose["unique_id"], "radmon_e2e_dose_rate");
  EXPECT_EQ(dose["state_topic"], "radmon/e2e/state");
  EXPECT_EQ(dose["unit_of_measurement"], "μSv/h");
  EXPECT_EQ(dose["device"]["identifiers"][0], "radmon_e2e");
  for (const char* entity :
       {"ha/sensor/radmon_e2e/cpm/config", "ha/sensor/radmon_e2e/total/config",
        "ha/binary_sensor/radmon_e2e/alarm1/config", "ha/binary_sensor/radmon_e2e/alarm2/config"})
    EXPECT_EQ(nlohmann::json::parse(retained[entity].payload)["device"], dose["device"]) << entity;
}

// Hum from 00:10:00 to 00:13:30 of a recording (its end told about a minute later): every record
// whose minute of sound the logged fault reaches into names it in its health (interference), 00:15
// too (the hum ended within it, before it was written); the minutes well clear of it are "ok".
TEST_F(HeadlessMqtt, EachMinuteAFaultReachedIntoCarriesItInItsHealth) {
  ASSERT_TRUE(FaultSound(3).writeWav(
      (root / "hum.wav").string(),
      {{SoundStretch::Tube, 600}, {SoundStretch::Hum, 210}, {SoundStretch::Tube, 390}}));
  input = "hum.wav";
  LocalBroker broker;
  ASSERT_TRUE(broker.start());
  Subscriber live(broker.port(), "radmon/e2e/state");
  ASSERT_EQ(waitExit(launch(url(broker.port()), 1200, "", kDayStart)), 0) << err();
  ASSERT_TRUE(live.waitFor([](const auto& ms) { return ms.size() >= 20; }, 10s));

  // The sound path's events; the stage-1 alarm is on, and the hum's pulses may start it.
  auto log = readEventLog((root / "data/").string(), kDay);
  std::erase_if(log, [](const EventLine& e) { return isAlarm(e.kind); });
  ASSERT_EQ(log.size(), 2u);
  // Full-scale hum is seen as mains-locked interference first.
  ASSERT_EQ(log[0].kind, EventKind::Interference);
  const int told = log[0].when.secondOfDay(), ended = log[1].when.secondOfDay();
  EXPECT_LT(ended, 900);
  int named = 0;
  for (const std::string& payload : live.payloadsOn("radmon/e2e/state")) {
    const auto state = nlohmann::json::parse(payload);
    const std::string minute = state["minute"];
    // The virtual clock writes each line as its minute ends: hh:mm holds the minute before.
    const int stamp = std::stoi(minute.substr(0, 2)) * 3600 + std::stoi(minute.substr(3)) * 60;
    const std::string health = state["health"];
    // The minute's interval holds its count; without the dead-time correction, never capped.
    ASSERT_TRUE(state["cpm95"].is_array() && state["dose95"].is_array()) << payload;
    EXPECT_LE(state["cpm95"][0], state["cpm"]) << payload;
    EXPECT_GE(state["cpm95"][1], state["cpm"]) << payload;
    EXPECT_EQ(state["capped"], false) << payload;
    if (stamp > told && stamp - 60 < ended) {
      EXPECT_EQ(health, "interference") << minute;
      ++named;
    } else if (stamp < told - 120 || stamp - 60 > ended + 60) {
      EXPECT_EQ(health, "ok") << minute;
    }
  }
  EXPECT_GE(named, 5);  // 00:11 to 00:15
}

// Asked for in the settings file, each second's reading goes to prefix/live, not retained.
TEST_F(HeadlessMqtt, LiveReadingsEverySecondWhenAsked) {
  LocalBroker broker;
  ASSERT_TRUE(broker.start());
  std::ofstream(root / "ratemon_mqtt.ini") << "live=1\n";
  Subscriber sub(broker.port(), "radmon/e2e/live");
  // In real time: a fast replay is over before the connection is made, and live
  // readings are QoS 0, sent only while connected.
  ASSERT_EQ(waitExit(launch(url(broker.port()), 4, "", kStart, false)), 0) << err();
  ASSERT_TRUE(sub.waitFor([](const auto& ms) { return ms.size() >= 2; }, 5s));
  std::string last;
  for (const auto& m : sub.messages()) {
    const auto json = nlohmann::json::parse(m.payload);
    EXPECT_FALSE(m.retained);
    EXPECT_TRUE(json["dose_rate"].is_number() && json["cpm"].is_number_integer()) << m.payload;
    // Stamped to the second by the wall clock: a buffer that comes late and the next,
    // handled within one second, share a stamp.
    EXPECT_GE(json["time"].get<std::string>(), last) << "in order";
    last = json["time"].get<std::string>();
  }
  EXPECT_LE(sub.messages().size(), 4u);
}

// On a real station two hours pass in two hours; the fast replay passes them in a
// fraction of a second, so the broker is stopped and started by the day file's length.
TEST_F(HeadlessMqtt, TwoHoursWithoutTheBrokerArriveAfterItInOrderNoneTwice) {
  LocalBroker broker;
  ASSERT_TRUE(broker.start());
  Subscriber sub(broker.port(), "radmon/e2e/state");
  const pid_t station = launch(url(broker.port()), 6 * 3600);
  ASSERT_TRUE(waitForLines(60));
  broker.stop();
  const size_t stoppedAt = dayLines();
  ASSERT_TRUE(waitForLines(stoppedAt + 120));
  ASSERT_TRUE(broker.start());
  ASSERT_EQ(waitExit(station), 0) << err();

  const auto lines = dayFileLines();
  ASSERT_EQ(lines.size(), 360u);
  ASSERT_TRUE(sub.waitFor(
      [](const auto& ms) { return keptLines(payloadsOn(ms, "radmon/e2e/state")).size() >= 360; },
      10s));
  EXPECT_EQ(keptLines(sub.payloadsOn("radmon/e2e/state")), lines);
  EXPECT_NE(err().find("再接続"), std::string::npos) << err();
}

// Told clearly, measuring goes on; the next run with the right settings catches up.
TEST_F(HeadlessMqtt, RefusedConnectionsAreToldAndTheNextRunCatchesUp) {
  struct Case {
    const char* name;
    testing::BrokerOptions broker;
    std::string refusedAccount;
    std::string rightAccount;
    std::string caSetting;  // ca_file= of the settings file for the second run
    const char* told;
  };
  const Case cases[] = {
      {"wrong password",
       {"station", "right", false},
       "station:wrong@",
       "station:right@",
       "",
       "パスワード"},
      {"untrusted certificate", {"", "", true}, "", "", "cert.pem", "証明書"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(root / "data");
    fs::create_directories(root / "data");
    fs::remove(root / "ratemon_mqtt_acked.txt");
    fs::remove(root / "ratemon_mqtt.ini");
    LocalBroker broker(c.broker);
    ASSERT_TRUE(broker.start());
    ASSERT_EQ(waitExit(launch(url(broker.port(), c.refusedAccount, c.broker.tls), 3600)), 0);
    EXPECT_EQ(dayLines(), 60u) << "measuring went on";
    EXPECT_NE(err().find(c.told), std::string::npos) << err();

    if (!c.caSetting.empty())
      std::ofstream(root / "ratemon_mqtt.ini") << "ca_file=" << broker.certificatePath() << "\n";
    Subscriber sub(broker.port(), "radmon/e2e/state", c.broker.user, c.broker.password,
                   c.broker.tls ? broker.certificatePath() : "");
    ASSERT_EQ(waitExit(launch(url(broker.port(), c.rightAccount, c.broker.tls), 3600, "",
                              "2026-03-02 00:59:59")),
              0)
        << err();
    // The first run's hour caught up, then the second's.
    const auto lines = dayFileLines();
    ASSERT_EQ(lines.size(), 120u);
    ASSERT_TRUE(sub.waitFor([](const auto& ms) { return ms.size() >= 120; }, 10s));
    EXPECT_EQ(keptLines(sub.payloadsOn("radmon/e2e/state")), lines);
  }
}

}  // namespace
}  // namespace radmon
