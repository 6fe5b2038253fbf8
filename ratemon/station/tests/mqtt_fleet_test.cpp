// Several ratemons on one mosquitto as installed (a listener, anonymous clients, nothing
// else): stations whose names or prefixes are alike keep their own identity, discovery as
// Home Assistant reads it or none at all, the password from the environment, and live
// readings no faster than the wall clock under a fast replay.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include "file_bytes.h"

#include "local_broker.h"
#include "temp_station.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::LocalBroker;
using testing::payloadsOn;
using testing::Subscriber;

// One headless ratemon on a simulated tube in a station folder of its own.
struct Station {
  explicit Station(const std::string& settings = "") {
    temp.writeRatemonSettings();
    if (!settings.empty()) std::ofstream(temp.program / "ratemon_mqtt.ini") << settings;
  }
  // Starts it; its stdout and stderr go to out.txt and err.txt.
  void launch(const std::string& url, const std::string& options, const std::string& env = "") {
    pid = testing::spawnIn(temp.program,
                           "./ratemon --headless --input sim:20 --start '2026-03-01 12:00:57' "
                           "--mqtt '" +
                               url + "' " + options,
                           env);
  }
  int wait() { return testing::waitExit(pid); }
  std::string err() const { return testing::readBytes(temp.program / "err.txt"); }
  std::string id() const {
    std::string id = testing::readBytes(temp.program / "ratemon_station_id.txt");
    return id.substr(0, id.find('\n'));
  }

  ftp::testing::TempStation temp{"radmon_fleet", "station", {"ratemon"}};
  pid_t pid = -1;
};

std::string url(int port, const std::string& prefix, const std::string& account = "") {
  return "mqtt://" + account + "127.0.0.1:" + std::to_string(port) + "/" + prefix;
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Before every station had an id of its own, 東京 and 大阪 were both "station" and the
// two homes both "home": each took the other's client id and knocked it off the broker.
TEST(MqttFleet, AlikeStationsKeepTheirOwnIdentity) {
  struct Row {
    const char* prefix;
    const char* settings;
    const char* shownName;
    const char* formerId;  // how older ratemons named its discovery
  };
  const Row rows[] = {
      {"radmon/tokyo", "station=東京\n", "東京", "station"},
      {"radmon/osaka", "station=大阪\n", "大阪", "station"},
      {"radmon/siteA/home", "", "home", "home"},
      {"radmon/siteB/home", "", "home", "home"},
  };
  LocalBroker broker(LocalBroker::Options{.plain = true});
  ASSERT_TRUE(broker.start());
  Subscriber all(broker.port(), "#");
  std::vector<std::unique_ptr<Station>> stations;
  for (const Row& row : rows) stations.push_back(std::make_unique<Station>(row.settings));
  // In real time, so that all four are connected together for several seconds.
  for (size_t i = 0; i < stations.size(); ++i)
    stations[i]->launch(url(broker.port(), rows[i].prefix), "--seconds 8");
  for (auto& s : stations) ASSERT_EQ(s->wait(), 0) << s->err();
  ASSERT_TRUE(all.waitFor(
      [&](const auto& ms) {
        size_t offline = 0;
        for (const auto& m : ms) offline += m.payload == "offline";
        return offline >= stations.size();
      },
      5s));

  const std::string log = broker.log();
  EXPECT_EQ(count(log, "already connected"), 0u) << log;
  const auto messages = all.messages();
  std::set<std::string> ids;
  for (size_t i = 0; i < stations.size(); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.prefix);
    const std::string id = stations[i]->id();
    ids.insert(id);
    EXPECT_EQ(count(log, " as radmon-" + id + " "), 1u) << "connected once, never again";
    EXPECT_EQ(payloadsOn(messages, std::string(row.prefix) + "/availability"),
              (std::vector<std::string>{"online", "offline"}));

    std::set<std::string> keys;
    for (const auto& m : messages) {
      if (!m.topic.starts_with("homeassistant/") ||
          m.topic.find("/radmon_" + id + "/") == std::string::npos)
        continue;
      const auto config = nlohmann::json::parse(m.payload);
      keys.insert(config["unique_id"].get<std::string>());
      EXPECT_FALSE(config.contains("object_id")) << m.topic;
      EXPECT_TRUE(config["default_entity_id"].get<std::string>().find(".radmon_" + id + "_") !=
                  std::string::npos)
          << m.payload;
      EXPECT_TRUE(config["device"]["name"].get<std::string>().ends_with(row.shownName))
          << m.payload;
      EXPECT_EQ(config["state_topic"], std::string(row.prefix) + "/state");
    }
    EXPECT_EQ(keys.size(), 9u);
    EXPECT_TRUE(keys.contains("radmon_" + id + "_health"));
    EXPECT_TRUE(keys.contains("radmon_" + id + "_lower_bound"));
    // What older ratemons announced under the name is cleared with an empty retained message.
    EXPECT_EQ(payloadsOn(messages, "homeassistant/sensor/radmon_" + std::string(row.formerId) +
                                       "/dose_rate/config"),
              std::vector<std::string>(2, ""))
        << "once by each of the two alike stations";
  }
  EXPECT_EQ(ids.size(), stations.size());

  // A second start keeps its id and clears nothing again.
  Station& tokyo = *stations[0];
  const std::string id = tokyo.id();
  tokyo.launch(url(broker.port(), rows[0].prefix), "--fast --seconds 60");
  ASSERT_EQ(tokyo.wait(), 0) << tokyo.err();
  ASSERT_TRUE(all.waitFor(
      [](const auto& ms) { return payloadsOn(ms, "radmon/tokyo/availability").size() >= 4; }, 5s));
  EXPECT_EQ(tokyo.id(), id);
  EXPECT_EQ(payloadsOn(all.messages(), "homeassistant/sensor/radmon_station/dose_rate/config"),
            std::vector<std::string>(2, ""));
}

// Nothing under any discovery prefix when discovery is off; an empty setting keeps the
// usual prefix.
TEST(MqttFleet, DiscoveryOffPublishesNoConfigAnywhere) {
  struct Row {
    const char* options;
    const char* settings;
    const char* discoveryPrefix;  // where configs are expected; nullptr: nowhere
  };
  const Row rows[] = {
      {"--mqtt-discovery off", "", nullptr},
      {"", "discovery=off\n", nullptr},
      {"", "discovery=\n", "homeassistant/"},
      {"--mqtt-discovery ha", "discovery=off\n", "ha/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.options) + " " + row.settings);
    LocalBroker broker(LocalBroker::Options{.plain = true});
    ASSERT_TRUE(broker.start());
    Subscriber all(broker.port(), "#");
    Station station(row.settings);
    station.launch(url(broker.port(), "radmon/e2e"),
                   std::string("--fast --seconds 600 ") + row.options);
    ASSERT_EQ(station.wait(), 0) << station.err();
    ASSERT_TRUE(all.waitFor(
        [](const auto& ms) { return !payloadsOn(ms, "radmon/e2e/availability").empty(); }, 5s));
    std::this_thread::sleep_for(200ms);  // anything sent after the availability
    size_t configs = 0;  // besides the empty ones that clear the name's former topics
    for (const auto& m : all.messages()) {
      if (m.topic.starts_with("radmon/e2e/")) continue;
      configs += !m.payload.empty();
      EXPECT_TRUE(row.discoveryPrefix && m.topic.starts_with(row.discoveryPrefix)) << m.topic;
    }
    EXPECT_EQ(configs, row.discoveryPrefix ? 9u : 0u);
  }
}

// The password stays off the command line: RADMON_MQTT_PASSWORD over the settings file's,
// the URL's over both, with a warning that ps shows it.
TEST(MqttFleet, PasswordFromTheEnvironment) {
  struct Row {
    const char* account;
    const char* environment;
    const char* settings;
    bool warned;
  };
  const Row rows[] = {
      {"station@", "RADMON_MQTT_PASSWORD=s3cret", "", false},
      {"station@", "RADMON_MQTT_PASSWORD=s3cret", "password=wrong\n", false},
      {"station@", "", "password=s3cret\n", false},
      {"station:s3cret@", "RADMON_MQTT_PASSWORD=wrong", "", true},
  };
  LocalBroker broker({.user = "station", .password = "s3cret", .plain = true});
  ASSERT_TRUE(broker.start());
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.account) + " " + row.environment + " " + row.settings);
    Subscriber states(broker.port(), "radmon/e2e/state", "station", "s3cret");
    Station station(row.settings);
    if (*row.settings)
      fs::permissions(station.temp.program / "ratemon_mqtt.ini",
                      fs::perms::owner_read | fs::perms::owner_write);
    station.launch(url(broker.port(), "radmon/e2e", row.account), "--fast --seconds 600",
                   row.environment);
    ASSERT_EQ(station.wait(), 0) << station.err();
    EXPECT_TRUE(states.waitFor([](const auto& ms) { return ms.size() >= 10; }, 5s))
        << station.err();
    EXPECT_EQ(station.err().find("RADMON_MQTT_PASSWORD") != std::string::npos, row.warned)
        << station.err();
  }
}

// A fast replay hands over thousands of seconds a second; live readings follow the wall.
// Four days of replay take about 9 s of one core in the normal build, 36 s under
// AddressSanitizer and 236 s under ThreadSanitizer; one day there still sends a live
// reading each second for a minute or more, which is what the limit is judged on.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr const char* kFastReplay = "--fast --seconds 86400";
#else
constexpr const char* kFastReplay = "--fast --seconds 345600";
#endif

TEST(MqttFleet, LiveReadingsAtMostOneASecondUnderAFastReplay) {
  LocalBroker broker(LocalBroker::Options{.plain = true});
  ASSERT_TRUE(broker.start());
  Subscriber live(broker.port(), "radmon/e2e/live");
  Station station("live=1\n");
  const auto started = std::chrono::steady_clock::now();
  station.launch(url(broker.port(), "radmon/e2e"), kFastReplay);
  ASSERT_EQ(station.wait(), 0) << station.err();
  const auto wall = std::chrono::steady_clock::now() - started;
  const auto received = live.messages();
  ASSERT_FALSE(received.empty());
  EXPECT_LE(received.size(), static_cast<size_t>(wall / 950ms) + 1);
  for (size_t i = 1; i < received.size(); ++i)
    EXPECT_GE(received[i].arrived - received[i - 1].arrived, 800ms) << i;
}

}  // namespace
}  // namespace radmon
