// The publisher against a real mosquitto: a day delivered in order, an outage of the
// broker, a refused password and an untrusted certificate, a restart that catches up.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "acked_record.h"
#include "day_record.h"
#include "kept_lines.h"
#include "local_broker.h"
#include "mqtt_publisher.h"
#include "state_message.h"
#include "temp_station.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::keptLines;
using testing::LocalBroker;
using testing::ReceivedMessage;
using testing::Subscriber;

constexpr const char* kPrefix = "radmon/test";
const std::string kStateTopic = std::string(kPrefix) + "/state";

// The record of minute `i` of a day of 2026-03-01 (line without its line end).
StoredRecord minuteRecord(int i) {
  const LocalDateTime when = LocalDateTime{2026, 3, 1, 0, 0, 0}.plusSeconds(60LL * (i + 1));
  std::string line = formatRecordLine({when, 0.05f + 0.001f * static_cast<float>(i % 200),
                                       18 + i % 7, 20LL * (i + 1), 60LL * (i + 1)});
  line.resize(line.size() - 2);
  return {when.yyyymmdd(), line};
}

std::vector<std::string> linesOf(int first, int count) {
  std::vector<std::string> lines;
  for (int i = first; i < first + count; ++i) lines.push_back(minuteRecord(i).line);
  return lines;
}

class PublisherTest : public ::testing::Test {
 protected:
  PublisherOptions options(int port, bool tls = false, const std::string& user = "",
                           const std::string& password = "") {
    PublisherOptions o;
    o.address = {tls, user, {}, "127.0.0.1", port, kPrefix};
    o.password = password;
    o.stationName = "test";
    o.ackedFile = (folder / kAckedFileName).string();
    return o;
  }

  // Waits for the first event of one of `states`.
  static std::optional<LinkEvent> waitForEvent(MqttPublisher& p, std::vector<LinkState> states,
                                               std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      for (const auto& e : p.takeEvents())
        if (std::find(states.begin(), states.end(), e.state) != states.end()) return e;
      std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
  }

  static auto hasStates(size_t n) {
    return [n](const std::vector<ReceivedMessage>& ms) {
      return keptLines(testing::payloadsOn(ms, kStateTopic)).size() >= n;
    };
  }

  ftp::testing::TempStation temp_{"radmon_pub", "station", {}};
  const fs::path folder = temp_.data;
};

TEST_F(PublisherTest, ADayArrivesInOrderAndTheLastRecordIsRemembered) {
  LocalBroker broker;
  ASSERT_TRUE(broker.start());
  Subscriber sub(broker.port(), std::string(kPrefix) + "/#");
  MqttPublisher publisher(options(broker.port()));
  ASSERT_TRUE(publisher.start({}));
  for (int i = 0; i < 1440; ++i) publisher.publishRecord(minuteRecord(i), i == 700, false);
  EXPECT_EQ(publisher.finish(10s), 0u);
  ASSERT_TRUE(sub.waitFor(hasStates(1440), 10s));

  const auto payloads = sub.payloadsOn(kStateTopic);
  EXPECT_EQ(payloads.size(), 1440u) << "sent once each while the broker stayed";
  EXPECT_EQ(keptLines(payloads), linesOf(0, 1440));
  EXPECT_TRUE(parseStateJson(payloads[700])->alarm1);
  EXPECT_EQ(sub.payloadsOn(std::string(kPrefix) + "/availability"),
            (std::vector<std::string>{"online", "offline"}));
  EXPECT_EQ(loadAckedRecord(folder / kAckedFileName), minuteRecord(1439));
}

TEST_F(PublisherTest, RecordsOfABrokerOutageArriveAfterItOldestFirst) {
  LocalBroker broker;
  ASSERT_TRUE(broker.start());
  Subscriber sub(broker.port(), kStateTopic);
  MqttPublisher publisher(options(broker.port()));
  ASSERT_TRUE(publisher.start({}));
  for (int i = 0; i < 60; ++i) publisher.publishRecord(minuteRecord(i), false, false);
  ASSERT_TRUE(sub.waitFor(hasStates(60), 10s));

  broker.stop();
  ASSERT_TRUE(waitForEvent(publisher, {LinkState::Lost}, 5s));
  const auto before = std::chrono::steady_clock::now();
  for (int i = 60; i < 180; ++i) publisher.publishRecord(minuteRecord(i), false, false);
  EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms) << "measuring never waits";
  EXPECT_EQ(publisher.status().waiting, 120u);

  ASSERT_TRUE(broker.start());
  ASSERT_TRUE(waitForEvent(publisher, {LinkState::Connected}, 10s));
  for (int i = 180; i < 240; ++i) publisher.publishRecord(minuteRecord(i), false, false);
  EXPECT_EQ(publisher.finish(10s), 0u);
  ASSERT_TRUE(sub.waitFor(hasStates(240), 10s));
  EXPECT_EQ(keptLines(sub.payloadsOn(kStateTopic)), linesOf(0, 240));
}

TEST_F(PublisherTest, ANewRunCatchesUpFromTheDayFiles) {
  // The first run published up to minute 99; the day file holds 300 minutes.
  {
    std::ofstream day(folder / dayFileName("20260301"), std::ios::binary);
    for (int i = 0; i < 300; ++i) day << minuteRecord(i).line << "\r\n";
  }
  ASSERT_TRUE(saveAckedRecord((folder / kAckedFileName).string(), minuteRecord(99)));
  const auto due = recordsAfter(folder.string() + "/", *loadAckedRecord(folder / kAckedFileName));
  ASSERT_EQ(due.size(), 200u);

  LocalBroker broker;
  ASSERT_TRUE(broker.start());
  Subscriber sub(broker.port(), kStateTopic);
  MqttPublisher publisher(options(broker.port()));
  ASSERT_TRUE(publisher.start(due));
  publisher.publishRecord(minuteRecord(300), false, false);
  EXPECT_EQ(publisher.finish(10s), 0u);
  ASSERT_TRUE(sub.waitFor(hasStates(201), 10s));
  EXPECT_EQ(keptLines(sub.payloadsOn(kStateTopic)), linesOf(100, 201));
}

// The operator is told why, and records keep queueing without waiting.
TEST_F(PublisherTest, RefusedConnectionsAreToldMeasuringGoesOnAndATrustedTlsOneDelivers) {
  struct Case {
    const char* name;
    LocalBroker::Options broker;
    bool tls;
    std::string password;
    LinkState expected;
  };
  const Case cases[] = {
      {"wrong password", {"station", "right", false}, false, "wrong", LinkState::BadLogin},
      {"untrusted certificate", {"", "", true}, true, "", LinkState::TlsFailed},
      {"no broker", {}, false, "", LinkState::Unreachable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LocalBroker broker(c.broker);
    if (c.expected != LinkState::Unreachable) {
      ASSERT_TRUE(broker.start());
    }
    MqttPublisher publisher(options(broker.port(), c.tls, c.broker.user, c.password));
    ASSERT_TRUE(publisher.start({}));
    const auto event = waitForEvent(publisher, {c.expected}, 5s);
    ASSERT_TRUE(event);
    const auto before = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i) publisher.publishRecord(minuteRecord(i), false, false);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms);
    EXPECT_EQ(publisher.finish(100ms), 100u);
  }
  // With the broker's certificate as its CA file, TLS delivers.
  LocalBroker broker({"station", "secret", true});
  ASSERT_TRUE(broker.start());
  PublisherOptions o = options(broker.port(), true, "station", "secret");
  o.caFile = broker.certificatePath();
  MqttPublisher publisher(o);
  ASSERT_TRUE(publisher.start({}));
  for (int i = 0; i < 10; ++i) publisher.publishRecord(minuteRecord(i), false, false);
  EXPECT_EQ(publisher.finish(10s), 0u);
  EXPECT_EQ(loadAckedRecord(folder / kAckedFileName), minuteRecord(9));
}

}  // namespace
}  // namespace radmon
