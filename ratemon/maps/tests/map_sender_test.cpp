// The sender on its own against the local stand-ins of the services (map_standin.py),
// driven minute by minute on the station's clock: a refusing service is tried again after
// 1, 2, 4 … and at most 30 of the station's minutes, and a backlog left by an earlier run is old
// news to a service of the current reading, which gets only the newest minute.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "build_paths.h"
#include "file_bytes.h"
#include "local_broker.h"
#include "map_sender.h"
#include "text_files.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int64_t kStart = 1772409660;  // 2026-03-02 00:01 UTC

MapReading minuteAt(int64_t utc, int64_t cpm) { return {utc, "2026/03/02", "00:01", cpm, 0.1f}; }

class MapSenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    standin_ = testing::spawnIn(dir_, "/usr/bin/python3 " + ::radmon::testing::sourceDir() +
                                          "/ratemon/maps/tests/map_standin.py log.jsonl port.txt");
    for (int i = 0; i < 500 && !fs::exists(dir_ / "port.txt"); ++i)
      std::this_thread::sleep_for(10ms);
    const std::string base = "http://127.0.0.1:" + testing::readBytes(dir_ / "port.txt");
    ASSERT_TRUE(fs::exists(dir_ / "port.txt")) << testing::readBytes(dir_ / "err.txt");
    accounts_.radmon.user = "station one";
    accounts_.radmon.password = "p&ss";
    accounts_.radmon.url = base + "/radmon.php";
    accounts_.gmcmap.account = "01234";
    accounts_.gmcmap.geiger = "56789";
    accounts_.gmcmap.url = base + "/log2.asp";
    accounts_.safecast.apiKey = "k3y";
    accounts_.safecast.latitude = "35.6895";
    accounts_.safecast.longitude = "139.6917";
    accounts_.safecast.deviceId = "42";
    accounts_.safecast.url = base + "/measurements.json";
  }
  void TearDown() override {
    if (standin_ > 0) {
      ::kill(standin_, SIGTERM);
      testing::waitExit(standin_);
    }
    fs::remove_all(dir_);
  }

  MapsSettings only(MapService service) const {
    MapsSettings s = accounts_;
    s.radmon.on = service == MapService::Radmon;
    s.gmcmap.on = service == MapService::Gmcmap;
    s.safecast.on = service == MapService::Safecast;
    return s;
  }
  std::string folder() const { return dir_.string() + "/"; }
  void refuse(const char* service, int requests) const {
    std::ofstream(dir_ / ("fail_" + std::string(service))) << requests;
  }
  // The CPM of each minute the stand-in took, in the order it took them.
  std::vector<int64_t> arrived(const char* valueKey) const {
    std::vector<int64_t> cpm;
    const std::string log = testing::readBytes(dir_ / "log.jsonl");
    for (const auto line : textLines(log))
      cpm.push_back(std::stoll(nlohmann::json::parse(line)["fields"][valueKey].get<std::string>()));
    return cpm;
  }
  // The tries told within `wait` (all of them once `want` have come).
  static std::vector<MapOutcome> tries(MapSender& sender, size_t want,
                                       std::chrono::milliseconds wait) {
    std::vector<MapOutcome> seen;
    for (const auto end = std::chrono::steady_clock::now() + wait;
         std::chrono::steady_clock::now() < end && seen.size() < want;) {
      for (const MapOutcome& o : sender.takeOutcomes()) seen.push_back(o);
      std::this_thread::sleep_for(5ms);
    }
    return seen;
  }

  const fs::path dir_ =
      fs::temp_directory_path() / ("radmon_map_sender_" + std::to_string(::getpid()));
  pid_t standin_ = 0;
  MapsSettings accounts_;
};

TEST_F(MapSenderTest, ARefusingServiceIsTriedAgainAfterOneTwoFourUpToThirtyMinutes) {
  const std::vector<int64_t> backoffs{1, 2, 4, 8, 16, 30, 30};
  refuse("safecast", static_cast<int>(backoffs.size()));
  MapSender sender(folder(), only(MapService::Safecast));
  int64_t cpm = 10, minute = 0;
  const auto add = [&] { sender.add(minuteAt(kStart + 60 * minute++, cpm++)); };
  add();
  ASSERT_EQ(tries(sender, 1, 5s).size(), 1u);  // refused
  for (size_t k = 0; k < backoffs.size(); ++k) {
    SCOPED_TRACE("back-off of " + std::to_string(backoffs[k]) + " minutes");
    // The minutes up to the one before the try is due: no try.
    for (int64_t m = 1; m < backoffs[k]; ++m) add();
    EXPECT_TRUE(tries(sender, 1, 300ms).empty()) << "tried early";
    add();
    const auto seen = tries(sender, 1, 5s);
    ASSERT_FALSE(seen.empty()) << "not tried when due";
    EXPECT_EQ(seen[0].kind, k + 1 < backoffs.size() ? MapOutcome::Refused : MapOutcome::Sent);
  }
  // The backlog goes; a success starts the back-off over: refused once more, the service
  // is tried again a minute later.
  bool emptied = false;
  for (const auto end = std::chrono::steady_clock::now() + 20s;
       !emptied && std::chrono::steady_clock::now() < end;)
    for (const MapOutcome& o : tries(sender, 1, 100ms)) emptied = emptied || o.count == 0;
  ASSERT_TRUE(emptied);
  refuse("safecast", 1);
  add();
  ASSERT_EQ(tries(sender, 1, 5s).at(0).kind, MapOutcome::Refused);
  add();
  const auto again = tries(sender, 1, 5s);
  ASSERT_FALSE(again.empty()) << "not tried a minute after the refusal that followed a success";
  EXPECT_EQ(again[0].kind, MapOutcome::Sent);
  // Taken at last: every minute, oldest first.
  EXPECT_EQ(sender.finish().at(MapService::Safecast), 0u);
  std::vector<int64_t> all;
  for (int64_t k = 10; k < cpm; ++k) all.push_back(k);
  EXPECT_EQ(arrived("measurement[value]"), all);
}

TEST_F(MapSenderTest, ABacklogOfAnEarlierRunIsOldNewsToAServiceOfTheCurrentReading) {
  struct Case {
    MapService service;
    const char* valueKey;
    std::vector<int64_t> arrive;
    size_t skipped;
  };
  const Case cases[] = {
      {MapService::Radmon, "value", {20}, 5},
      {MapService::Gmcmap, "CPM", {20}, 5},
      {MapService::Safecast, "measurement[value]", {11, 12, 13, 14, 15, 20}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(mapServiceKey(c.service)));
    fs::remove(dir_ / "log.jsonl");
    std::string backlog;
    for (int64_t k = 0; k < 5; ++k)
      backlog += queueLine(minuteAt(kStart - 600 + 60 * k, 11 + k)) + "\n";
    std::ofstream(mapQueuePath(folder(), c.service)) << backlog;
    MapSender sender(folder(), only(c.service));
    sender.add(minuteAt(kStart, 20));
    EXPECT_EQ(sender.finish().at(c.service), 0u);
    EXPECT_EQ(arrived(c.valueKey), c.arrive);
    // What went, and what was skipped, is gone from the file: a restart sends none again.
    EXPECT_EQ(testing::readBytes(mapQueuePath(folder(), c.service)), "");
    size_t skipped = 0;
    for (const MapOutcome& o : sender.takeOutcomes())
      if (o.kind == MapOutcome::Skipped) skipped += o.count;
    EXPECT_EQ(skipped, c.skipped);
  }
}

}  // namespace
}  // namespace radmon
