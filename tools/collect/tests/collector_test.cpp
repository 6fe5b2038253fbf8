// The collector: what it keeps of each message, and the real radmon-collect writing
// the files of stations that publish through a real mosquitto.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "file_bytes.h"

#include "collector.h"
#include "day_record.h"
#include "local_broker.h"
#include "mqtt_publisher.h"
#include "state_message.h"
#include "temp_station.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string stateOfMinute(int hour, int minute, const char* dose = "0.123") {
  char line[96];
  std::snprintf(line, sizeof line, "\"2026/03/01\",\"%02d:%02d\",%s,18,360,%d", hour, minute, dose,
                (hour * 60 + minute) * 60);
  return stateJson(*stateFromLine(line, false, false));
}

class CollectorTest : public ::testing::Test {
 protected:
  ftp::testing::TempStation temp_{"radmon_collect", "station", {}};
  const fs::path root = temp_.root;
};

TEST_F(CollectorTest, KeepsEachRecordOnceInItsStationsDayFile) {
  Collector collector(root.string() + "/", "fleet");
  struct Step {
    std::string topic;
    std::string payload;
    Collected expected;
  };
  const Step steps[] = {
      {"fleet/st01/state", stateOfMinute(0, 1), Collected::Written},
      {"fleet/st01/state", stateOfMinute(0, 2, "1.5"), Collected::Written},
      {"fleet/st01/state", stateOfMinute(0, 2, "1.5"), Collected::Repeated},
      {"fleet/st01/state", stateOfMinute(0, 1), Collected::Repeated},
      {"fleet/st02/state", stateOfMinute(0, 1, "0"), Collected::Written},
      {"fleet/st01/live", stateOfMinute(0, 3), Collected::NotAState},
      {"other/st01/state", stateOfMinute(0, 3), Collected::NotAState},
      {"fleet/../state", stateOfMinute(0, 3), Collected::BadStation},
      {"fleet/st01/state", "{\"time\":1}", Collected::BadMessage},
      {"fleet/st01/state", "not json", Collected::BadMessage},
  };
  for (const Step& s : steps) EXPECT_EQ(collector.take(s.topic, s.payload), s.expected) << s.topic;
  EXPECT_EQ(
      testing::readBytes(root / "st01" / "data" / dayFileName("20260301")),
      "\"2026/03/01\",\"00:01\",0.123,18,360,60\r\n\"2026/03/01\",\"00:02\",1.5,18,360,120\r\n");
  EXPECT_EQ(testing::readBytes(root / "st02" / "data" / dayFileName("20260301")),
            "\"2026/03/01\",\"00:01\",0,18,360,60\r\n");

  // Started again, it goes on after what the files hold.
  Collector again(root.string() + "/", "fleet");
  EXPECT_EQ(again.take("fleet/st01/state", stateOfMinute(0, 2, "1.5")), Collected::Repeated);
  EXPECT_EQ(again.take("fleet/st01/state", stateOfMinute(0, 3)), Collected::Written);
}

// Two stations publish a few hours each; the collector's files equal theirs.
TEST_F(CollectorTest, ProgramWritesTheSameBytesAsEachStation) {
  testing::LocalBroker broker;
  ASSERT_TRUE(broker.start());
  const fs::path out = root / "fleet";
  const std::string url = "mqtt://127.0.0.1:" + std::to_string(broker.port()) + "/radmon/fleet";
  const pid_t collector = ::fork();
  if (collector == 0) {
    const std::string program = std::string(PROGRAM_DIR) + "/radmon-collect";
    ::execl(program.c_str(), program.c_str(), "--mqtt", url.c_str(), "--out", out.c_str(), "--idle",
            "3", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  std::this_thread::sleep_for(500ms);  // subscribed before the first record

  std::map<std::string, std::string> stationFiles;
  for (const char* name : {"st01", "st02"}) {
    PublisherOptions o;
    o.address.host = "127.0.0.1";
    o.address.port = broker.port();
    o.address.prefix = std::string("radmon/fleet/") + name;
    o.stationName = name;
    MqttPublisher publisher(o);
    ASSERT_FALSE(publisher.start({}));
    // From 23:00 to 01:00: two day files each.
    for (int i = 0; i < 120; ++i) {
      const LocalDateTime when = LocalDateTime{2026, 3, 1, 23, 0, 0}.plusSeconds(60LL * (i + 1));
      const std::string line =
          formatRecordLine({when, 0.001f * static_cast<float>(i * (name[3] - '0')), 18 + i,
                            20LL * i, 60LL * (i + 1)});
      stationFiles[std::string(name) + "/data/" + dayFileName(when.yyyymmdd())] += line;
      publisher.publishRecord({when.yyyymmdd(), line.substr(0, line.size() - 2)}, false, false);
    }
    EXPECT_EQ(publisher.finish(10s), 0u);
  }
  int status = 0;
  ::waitpid(collector, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ASSERT_EQ(stationFiles.size(), 4u);
  for (const auto& [file, bytes] : stationFiles)
    EXPECT_EQ(testing::readBytes(out / file), bytes) << file;
}

}  // namespace
}  // namespace radmon
