// The collector: what it keeps of each message, and the real radmon-collect writing
// the files of stations that publish through a real mosquitto.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "build_paths.h"
#include "file_bytes.h"

#include "collector.h"
#include "day_record.h"
#include "local_broker.h"
#include "mqtt_publisher.h"
#include "state_message.h"
#include "temp_station.h"
#include "time_zone.h"

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

// A station in Berlin writing one record a minute from `start` on, its messages keyed as
// its publisher keys them (the repeated hour of the autumn change keeps its own moments).
class StationRun {
 public:
  // `autumn`: the clock goes back an hour after two hours.
  StationRun(LocalDateTime start, int minutes, bool autumn = false) {
    std::optional<int64_t> previous;
    for (int i = 1; i <= minutes; ++i) {
      const LocalDateTime when = start.plusSeconds(60LL * i - (autumn && i >= 120 ? 3600 : 0));
      const std::string line = formatRecordLine({when, 0.1f, 20 + i % 7, 20LL * i, 60LL * i});
      auto state = stateFromLine(line, false, false, previous);
      previous = utcSeconds(*state);
      lines.push_back(line);
      messages.push_back(stateJson(*state));
      moments.push_back(*previous);
    }
  }
  // The lines of records [from, to), as one file's bytes.
  std::string bytes(size_t from, size_t to) const {
    std::string out;
    for (size_t i = from; i < to; ++i) out += lines[i];
    return out;
  }
  std::vector<std::string> lines, messages;
  std::vector<int64_t> moments;
};

class BerlinTime : public CollectorTest {
 protected:
  testing::ScopedTimeZone zone_{"Europe/Berlin"};
};

// The autumn change repeats 02:00 to 02:59; the second pass comes first, the first
// late, a record twice: the file holds each once, in the order the station wrote them.
TEST_F(BerlinTime, KeepsTheRepeatedHourAndLateRecordsInTheirPlace) {
  const StationRun run({2026, 10, 25, 1, 0, 0}, 210, true);  // 01:01 to 03:30, 02:xx twice
  ASSERT_EQ(run.lines[59].substr(14, 5), "02:00");
  ASSERT_EQ(run.lines[119].substr(14, 5), "02:00");
  EXPECT_EQ(run.moments[119] - run.moments[59], 3600);
  Collector collector(root.string() + "/", "fleet");
  std::vector<size_t> order;
  for (size_t i = 0; i < 59; ++i) order.push_back(i);
  for (size_t i = 119; i < 210; ++i) order.push_back(i);
  for (size_t i = 59; i < 119; ++i) order.push_back(i);
  for (const size_t i : order)
    ASSERT_EQ(collector.take("fleet/st01/state", run.messages[i]), Collected::Written) << i;
  EXPECT_EQ(collector.take("fleet/st01/resent", run.messages[70]), Collected::Repeated);
  const fs::path file = root / "st01" / "data" / dayFileName("20261025");
  EXPECT_EQ(testing::readBytes(file), run.bytes(0, 210));

  // Read again from the file, both passes are known by their moments.
  Collector again(root.string() + "/", "fleet");
  for (const size_t i : {size_t{70}, size_t{130}, size_t{209}})
    EXPECT_EQ(again.take("fleet/st01/state", run.messages[i]), Collected::Repeated) << i;
  EXPECT_EQ(again.openGaps(), 0u);
}

// Records 4 to 6 never came: the gap is asked for, narrowed by what arrives, and what
// stays missing is reported once it was asked for and nothing came for a while.
TEST_F(CollectorTest, AsksForAGapAndReportsWhatStaysMissing) {
  const StationRun run({2026, 3, 1, 10, 0, 0}, 10);
  Collector collector(root.string() + "/", "fleet", std::chrono::seconds(60));
  const Collector::Clock::time_point t0{std::chrono::hours(1)};
  for (const size_t i : {0, 1, 2, 6, 7})
    ASSERT_EQ(collector.take("fleet/st01/state", run.messages[i], t0), Collected::Written);
  EXPECT_EQ(collector.requestTopic("st01"), "fleet/st01/resend");

  auto due = collector.tend(t0);
  ASSERT_EQ(due.ask.size(), 1u);
  EXPECT_EQ(due.ask[0], (MissingSpan{"st01", run.moments[3], run.moments[5], 3, "2026/03/01 10:04",
                                     "2026/03/01 10:06"}));
  EXPECT_TRUE(collector.tend(t0 + 1s).ask.empty()) << "one request each few seconds";

  const auto t1 = t0 + 10s;
  EXPECT_EQ(collector.take("fleet/st01/resent", run.messages[4], t1), Collected::Written);
  EXPECT_EQ(collector.openGaps(), 2u);
  due = collector.tend(t1 + Collector::kAskEvery);
  ASSERT_EQ(due.ask.size(), 1u);
  EXPECT_EQ(due.ask[0].from, run.moments[3]);
  EXPECT_EQ(due.ask[0].to, run.moments[3]);
  EXPECT_EQ(collector.take("fleet/st01/resent", run.messages[3], t1 + 6s), Collected::Written);

  // 10:06 was never asked for since it was narrowed: asked now, given up a minute later.
  due = collector.tend(t1 + 100s);
  ASSERT_EQ(due.ask.size(), 1u);
  EXPECT_TRUE(due.missing.empty());
  due = collector.tend(t1 + 200s);
  ASSERT_EQ(due.missing.size(), 1u);
  EXPECT_EQ(due.missing[0].firstText, "2026/03/01 10:06");
  EXPECT_EQ(collector.openGaps(), 0u);
  EXPECT_EQ(testing::readBytes(root / "st01" / "data" / dayFileName("20260301")),
            run.bytes(0, 5) + run.bytes(6, 8));

  // A station first heard in the middle of its run: the run's records before it are asked.
  EXPECT_EQ(collector.take("fleet/st02/state", run.messages[9], t1), Collected::Written);
  due = collector.tend(t1 + 300s);
  ASSERT_EQ(due.ask.size(), 1u);
  EXPECT_EQ(due.ask[0], (MissingSpan{"st02", run.moments[0], run.moments[8], 9, "2026/03/01 10:01",
                                     "2026/03/01 10:09"}));

  // A new run (elapsed from 60 again) after the last record lacks nothing.
  const StationRun later({2026, 3, 1, 12, 0, 0}, 1);
  EXPECT_EQ(collector.take("fleet/st01/state", later.messages[0], t1), Collected::Written);
  EXPECT_EQ(collector.openGaps(), 1u) << "st02's only";
}

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
    const std::string program = ::radmon::testing::programDir() + "/radmon-collect";
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
    ASSERT_TRUE(publisher.start({}));
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

// A collector away while three stations replay a day each, on a broker as installed: its
// queue keeps 1000 messages and drops the rest; what was dropped is asked of the stations,
// and the collector's files end equal to theirs.
TEST_F(CollectorTest, ProgramFillsWhatTheBrokerDroppedWhileItWasAway) {
  testing::LocalBroker broker(testing::LocalBroker::Options{.plain = true});
  ASSERT_TRUE(broker.start());
  const fs::path out = root / "fleet";
  fs::create_directories(out);
  const std::string url = "mqtt://127.0.0.1:" + std::to_string(broker.port()) + "/radmon/fleet";
  auto collect = [&] {
    return testing::spawnIn(out, ::radmon::testing::programDir() + "/radmon-collect --mqtt " + url +
                                     " --out " + out.string() + " --idle 4 --give-up 20");
  };
  auto collectorLog = [&] { return testing::readBytes(out / "radmon-collect.log"); };
  // Its first run makes the broker keep its session.
  pid_t collector = collect();
  for (int i = 0; i < 100 && collectorLog().find("接続しました") == std::string::npos; ++i)
    std::this_thread::sleep_for(50ms);
  std::this_thread::sleep_for(300ms);
  ::kill(collector, SIGTERM);
  ASSERT_EQ(testing::waitExit(collector), 0);

  std::vector<std::unique_ptr<ftp::testing::TempStation>> stations;
  auto launch = [&](int i, const std::string& how) {
    return testing::spawnIn(stations[i]->program, "./ratemon --headless " + how + " --mqtt " + url +
                                                      "/st0" + std::to_string(i + 1));
  };
  std::vector<pid_t> pids;
  for (int i = 0; i < 3; ++i) {
    stations.push_back(std::make_unique<ftp::testing::TempStation>(
        "radmon_fleet", "station", std::initializer_list<const char*>{"ratemon"}));
    stations.back()->writeRatemonSettings();
    pids.push_back(launch(i, "--input sim:" + std::to_string(15 + 5 * i) +
                                 " --fast --start '2026-03-01 23:59:59' --seconds 86400"));
  }
  for (const pid_t pid : pids) ASSERT_EQ(testing::waitExit(pid), 0);

  // The stations on line again, in real time (no record in their half minute), to answer.
  pids.clear();
  for (int i = 0; i < 3; ++i) pids.push_back(launch(i, "--input sim:20 --seconds 30"));
  collector = collect();
  EXPECT_EQ(testing::waitExit(collector), 0);
  for (const pid_t pid : pids) EXPECT_EQ(testing::waitExit(pid), 0);

  const std::string log = collectorLog();
  EXPECT_NE(log.find("再送を頼みます"), std::string::npos) << log;
  EXPECT_EQ(log.find("欠けたまま"), std::string::npos) << log;
  for (int i = 0; i < 3; ++i) {
    const std::string file = dayFileName("20260302");
    const std::string own = testing::readBytes(stations[i]->data / file);
    EXPECT_EQ(std::count(own.begin(), own.end(), '\n'), 1440);
    EXPECT_EQ(testing::readBytes(out / ("st0" + std::to_string(i + 1)) / "data" / file), own) << i;
  }
}

}  // namespace
}  // namespace radmon
