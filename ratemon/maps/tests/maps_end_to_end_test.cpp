// ratemon --headless on a simulated tube sending to local stand-ins of radmon.org,
// GMCmap and Safecast that take only the documented requests: every minute of the day
// file arrives at each, under a German locale; a service refusing for a while and one
// away and back (during a run, and for a whole run) get every minute afterwards, none
// twice. A service of the current reading gets the newest of a backlog and says how many
// it skipped.
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "build_paths.h"
#include "day_record.h"
#include "file_bytes.h"
#include "local_broker.h"
#include "temp_station.h"
#include "text_files.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Fields = std::map<std::string, std::string>;

const char* const kServices[] = {"radmon", "gmcmap", "safecast"};

class MapsEndToEnd : public ::testing::Test {
 protected:
  MapsEndToEnd() {
    station.writeRatemonSettings();
    fs::create_directories(standinDir);
  }
  ~MapsEndToEnd() override { stopStandin(); }

  // The stand-ins on `port` (a free one when 0); false when they did not come up.
  bool startStandin(int wantedPort = 0) {
    fs::remove(standinDir / "port.txt");
    standin_ =
        testing::spawnIn(standinDir, "/usr/bin/python3 " + ::radmon::testing::sourceDir() +
                                         "/ratemon/maps/tests/map_standin.py" +
                                         " log.jsonl port.txt " + std::to_string(wantedPort));
    for (int i = 0; i < 500 && !fs::exists(standinDir / "port.txt"); ++i)
      std::this_thread::sleep_for(10ms);
    port_ = std::atoi(testing::readBytes(standinDir / "port.txt").c_str());
    return port_ > 0;
  }
  void stopStandin() {
    if (standin_ <= 0) return;
    ::kill(standin_, SIGTERM);
    testing::waitExit(standin_);
    standin_ = 0;
  }
  void refuse(const std::string& service, int requests) {
    std::ofstream(standinDir / ("fail_" + service)) << requests;
  }
  void writeMaps() const {
    const std::string base = "http://127.0.0.1:" + std::to_string(port_);
    std::ofstream(station.program / "ratemon_maps.ini")
        << "radmon.on=1\nradmon.user=station one\nradmon.password=p&ss\nradmon.url=" << base
        << "/radmon.php\ngmcmap.on=1\ngmcmap.account=01234\ngmcmap.geiger=56789\ngmcmap.url="
        << base << "/log2.asp\nsafecast.on=1\nsafecast.api_key=k3y+\nsafecast.latitude=35.6895\n"
        << "safecast.longitude=-139.6917\nsafecast.device_id=42\nsafecast.url=" << base
        << "/measurements.json\n";
    fs::permissions(station.program / "ratemon_maps.ini",
                    fs::perms::owner_read | fs::perms::owner_write);
  }
  // ratemon on the simulated tube from `start` for `minutes`, at full speed, in UTC.
  pid_t launch(int minutes, const std::string& start = "2026-03-01 23:59:59",
               const std::string& env = "TZ=UTC") const {
    return testing::spawnIn(station.program,
                            "./ratemon --headless --lang en --input sim:20 --fast --start '" +
                                start + "' --seconds " + std::to_string(minutes * 60),
                            env);
  }
  std::vector<DayRecord> records() const {
    std::vector<DayRecord> out;
    const std::string text = testing::readBytes(station.data / dayFileName("20260302"));
    for (const auto line : textLines(text))
      if (auto r = parseRecordLine(line)) out.push_back(*r);
    return out;
  }
  bool waitForRecords(size_t n) const {
    for (int i = 0; i < 20000; ++i) {
      if (records().size() >= n) return true;
      std::this_thread::sleep_for(1ms);
    }
    return false;
  }
  std::map<std::string, std::vector<Fields>> arrivals() const {
    std::map<std::string, std::vector<Fields>> out;
    const std::string text = testing::readBytes(standinDir / "log.jsonl");
    for (const auto line : textLines(text)) {
      const auto j = nlohmann::json::parse(line);
      out[j["service"]].push_back(j["fields"].get<Fields>());
    }
    return out;
  }
  std::string err() const { return testing::readBytes(station.program / "err.txt"); }
  // The minutes each current-reading service said it skipped, over all runs told in `log`.
  static size_t skipped(const std::string& log, const std::string& name) {
    size_t n = 0;
    const std::string told = name + ": takes only the current reading: skipped ";
    for (size_t at = log.find(told); at != std::string::npos; at = log.find(told, at + 1))
      n += std::stoul(log.substr(at + told.size()));
    return n;
  }

  // Every record minute reached Safecast once under its own moment, and the services of
  // the current reading took the minutes in order, each once, but for those they skipped.
  void expectEveryMinute(const std::string& log) const {
    const auto recs = records();
    const auto got = arrivals();
    ASSERT_FALSE(recs.empty());
    const auto& safecast = got.count("safecast") ? got.at("safecast") : std::vector<Fields>{};
    std::map<std::string, int> seen;
    for (const Fields& f : safecast) {
      ++seen[f.at("measurement[captured_at]") + " " + f.at("measurement[value]")];
      EXPECT_EQ(f.at("api_key"), "k3y+");
      EXPECT_EQ(f.at("measurement[latitude]"), "35.6895");
      EXPECT_EQ(f.at("measurement[longitude]"), "-139.6917");
      EXPECT_EQ(f.at("measurement[device_id]"), "42");
    }
    std::map<std::string, int> want;
    for (const DayRecord& r : recs) {
      std::string date = r.date;
      std::replace(date.begin(), date.end(), '/', '-');
      ++want[date + "T" + r.time + ":00Z " + std::to_string(*r.cpm)];
    }
    EXPECT_EQ(seen, want);
    for (const auto& [service, name, valueKey] :
         {std::tuple{"radmon", "radmon.org", "value"}, std::tuple{"gmcmap", "GMCmap", "CPM"}}) {
      const auto& list = got.count(service) ? got.at(service) : std::vector<Fields>{};
      size_t at = 0;
      for (const Fields& f : list) {
        while (at < recs.size() && std::to_string(*recs[at].cpm) != f.at(valueKey)) ++at;
        ASSERT_LT(at, recs.size()) << service << " sent " << f.at(valueKey) << " out of order";
        if (std::string(service) == "gmcmap") {
          EXPECT_EQ(f.at("uSV"), recs[at].rateText);
          EXPECT_EQ(f.at("AID"), "01234");
        } else {
          EXPECT_EQ(f.at("user"), "station one");
          EXPECT_EQ(f.at("password"), "p&ss");
        }
        ++at;
      }
      EXPECT_EQ(list.size() + skipped(log, name), recs.size())
          << service << "\n"
          << testing::readBytes(standinDir / "err.txt")
          << testing::readBytes(standinDir / "requests.txt");
    }
  }

  ftp::testing::TempStation station{"radmon_maps", "station", {"ratemon"}};
  const fs::path standinDir = station.dir / "standin";
  pid_t standin_ = 0;
  int port_ = 0;
};

TEST_F(MapsEndToEnd, EveryMinuteArrivesAtEachServiceUnderAGermanLocale) {
  ASSERT_TRUE(startStandin());
  writeMaps();
  ASSERT_EQ(testing::waitExit(launch(120, "2026-03-01 23:59:59", "TZ=UTC LC_ALL=de_DE.UTF-8")), 0)
      << err();
  EXPECT_EQ(records().size(), 120u);
  expectEveryMinute(err());
  EXPECT_EQ(skipped(err(), "radmon.org") + skipped(err(), "GMCmap"), 0u) << err();
  for (const char* service : kServices)
    EXPECT_EQ(testing::readBytes(station.program /
                                 ("ratemon_maps_" + std::string(service) + "_queue.txt")),
              "");
}

TEST_F(MapsEndToEnd, RefusedAndUnreachableServicesGetEveryMinuteAfterwards) {
  // Away for a whole run: its minutes wait in the queue files for the next.
  ASSERT_TRUE(startStandin());
  const int port = port_;
  writeMaps();
  stopStandin();
  ASSERT_EQ(testing::waitExit(launch(30)), 0);
  std::vector<std::string> logs{err()};
  EXPECT_NE(logs[0].find("Safecast: 30 minutes not sent"), std::string::npos) << logs[0];

  // Back, refusing Safecast's first five tries, then away and back during the run.
  refuse("safecast", 5);
  ASSERT_TRUE(startStandin(port));
  const pid_t run = launch(210, "2026-03-02 00:30:00");
  ASSERT_TRUE(waitForRecords(90));
  stopStandin();
  ASSERT_TRUE(waitForRecords(120));
  ASSERT_TRUE(startStandin(port));
  ASSERT_EQ(testing::waitExit(run), 0) << err();
  logs.push_back(err());
  // The back-off may leave minutes queued at the end (and refusals unused); the next run
  // sends them.
  fs::remove(standinDir / "fail_safecast");
  ASSERT_EQ(testing::waitExit(launch(30, "2026-03-02 04:00:00")), 0) << err();
  logs.push_back(err());
  EXPECT_EQ(records().size(), 270u);
  std::string all;
  for (const auto& log : logs) all += log;
  expectEveryMinute(all);
  for (const char* service : kServices)
    EXPECT_EQ(testing::readBytes(station.program /
                                 ("ratemon_maps_" + std::string(service) + "_queue.txt")),
              "")
        << service;
  // In each run a failure is told when it begins and when it ends, not at every retry.
  std::map<std::string, int> began;
  for (const auto& log : logs) {
    std::map<std::string, bool> failing;
    for (const auto line : textLines(log))
      for (const std::string name : {"radmon.org", "GMCmap", "Safecast"}) {
        const bool begins = line.find(name + ": could not send") != std::string::npos;
        if (!begins && line.find(name + ": sending again") == std::string::npos) continue;
        EXPECT_NE(failing[name], begins) << log;
        failing[name] = begins;
        began[name] += begins;
      }
  }
  for (const char* name : {"radmon.org", "GMCmap", "Safecast"}) EXPECT_GE(began[name], 2) << name;
}

// radmon.org and GMCmap answer 200 to a wrong password, an unknown user, account or
// counter, and say so in the body. Each refusal is told once per run in the operator's
// words while the minutes wait in the queue; once the accounts are right every minute is
// sent or told skipped, and GMCmap gets the run's running average beside each minute.
TEST_F(MapsEndToEnd, RefusedAccountsAreToldOnceAndTheirMinutesWait) {
  ASSERT_TRUE(startStandin());
  writeMaps();
  struct Run {
    const char* accounts;
    const char* start;
    std::vector<const char*> told;  // each once in the run's log
  };
  const Run runs[] = {
      {R"({"radmon": {"station one": "other"}, "gmcmap": {"99999": ["56789"]}})",
       "2026-03-01 23:59:59",
       {"radmon.org refused the password for user \"station one\"",
        "GMCmap does not know the account ID \"01234\" (ERR1)"}},
      {R"({"radmon": {"station two": "p&ss"}, "gmcmap": {"01234": ["11111"]}})",
       "2026-03-02 00:30:00",
       {"radmon.org does not know the user \"station one\"",
        "GMCmap does not know the Geiger counter ID \"56789\" (ERR2)"}},
      {R"({"radmon": {"station one": "p&ss"}, "gmcmap": {"01234": ["56789"]}})",
       "2026-03-02 01:00:00",
       {"radmon.org: takes only the current reading: skipped ",
        "GMCmap: takes only the current reading: skipped "}},
  };
  std::string all;
  size_t waiting = 0;
  for (const Run& run : runs) {
    std::ofstream(standinDir / "accounts.json") << run.accounts;
    ASSERT_EQ(testing::waitExit(launch(30, run.start)), 0) << err();
    const std::string log = err();
    all += log;
    for (const std::string told : run.told) {
      size_t times = 0;
      for (size_t at = log.find(told); at != std::string::npos; at = log.find(told, at + 1))
        ++times;
      EXPECT_EQ(times, 1u) << told << "\n" << log;
    }
    if (&run == &runs[2]) break;
    waiting += 30;
    const auto got = arrivals();
    EXPECT_EQ(got.count("radmon") + got.count("gmcmap"), 0u);
    EXPECT_EQ(got.count("safecast") ? got.at("safecast").size() : 0, waiting)
        << log << testing::readBytes(standinDir / "requests.txt");
    for (const char* service : {"radmon", "gmcmap"}) {
      const std::string queue = testing::readBytes(
          station.program / ("ratemon_maps_" + std::string(service) + "_queue.txt"));
      EXPECT_EQ(textLines(queue).size(), waiting) << service;
    }
  }
  EXPECT_EQ(records().size(), 90u);
  expectEveryMinute(all);
  // The waiting minutes and those of the last run that came before the first try.
  EXPECT_GE(skipped(all, "radmon.org"), 60u) << all;
  for (const char* service : kServices)
    EXPECT_EQ(testing::readBytes(station.program /
                                 ("ratemon_maps_" + std::string(service) + "_queue.txt")),
              "")
        << service;
  // After the first, the last run's minutes went one by one, the last run's last ones,
  // each with the mean CPM of the run so far.
  const auto recs = records();
  const auto got = arrivals();
  const auto& gmcmap = got.at("gmcmap");
  // How many go depends on how the fast replay's pace meets the sender's: a minute no
  // longer current when its turn comes is skipped (16 of 30 arrived on a busy machine).
  ASSERT_GE(gmcmap.size(), 5u);
  const size_t first = recs.size() - gmcmap.size();
  double sum = 0;
  for (size_t i = 60; i < recs.size(); ++i) {
    sum += static_cast<double>(*recs[i].cpm);
    if (i < first) continue;
    const Fields& f = gmcmap[i - first];
    EXPECT_EQ(f.at("CPM"), std::to_string(*recs[i].cpm)) << i;
    EXPECT_NEAR(std::stod(f.at("ACPM")), sum / static_cast<double>(i - 59), 0.005) << i;
  }
}

}  // namespace
}  // namespace radmon
