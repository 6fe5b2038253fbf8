// The texts of publishing: the broker address, the state message and its record line,
// the settings file and the acknowledged-record file (discovery: discovery_test.cpp).
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <tuple>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "acked_record.h"
#include "day_record.h"
#include "file_bytes.h"
#include "mqtt_address.h"
#include "mqtt_settings.h"
#include "settings_text.h"
#include "state_message.h"
#include "station_link.h"
#include "temp_station.h"
#include "time_zone.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;

TEST(ParseMqttAddress, ReadsEachPartOrSaysWhatIsWrong) {
  struct Case {
    const char* text;
    std::variant<MqttAddress, MqttAddressError> expected;
  };
  auto at = [](bool tls, std::string user, std::optional<std::string> pw, std::string host,
               int port, std::string prefix) {
    return MqttAddress{tls,  std::move(user),  std::move(pw), std::move(host),
                       port, std::move(prefix)};
  };
  const Case cases[] = {
      {"mqtt://127.0.0.1:1883/radmon/home", at(false, "", {}, "127.0.0.1", 1883, "radmon/home")},
      {"mqtt://broker/x", at(false, "", {}, "broker", 1883, "x")},
      {"mqtts://broker/x", at(true, "", {}, "broker", 8883, "x")},
      {"mqtts://ann@broker:9000/a/b", at(true, "ann", {}, "broker", 9000, "a/b")},
      {"mqtt://ann:p%40ss:w@rd@broker/a", at(false, "ann", "p@ss:w@rd", "broker", 1883, "a")},
      {"mqtt://ann:@broker/a", at(false, "ann", "", "broker", 1883, "a")},
      {"mqtt://[::1]:1884/a", at(false, "", {}, "::1", 1884, "a")},
      {"http://broker/a", MqttAddressError::Scheme},
      {"mqtt:/broker/a", MqttAddressError::Scheme},
      {"mqtt:///a", MqttAddressError::Host},
      {"mqtt://ann@:1883/a", MqttAddressError::Host},
      {"mqtt://broker:0/a", MqttAddressError::Port},
      {"mqtt://broker:65536/a", MqttAddressError::Port},
      {"mqtt://broker:1x/a", MqttAddressError::Port},
      {"mqtt://broker:/a", MqttAddressError::Port},
      {"mqtt://broker", MqttAddressError::Prefix},
      {"mqtt://broker/", MqttAddressError::Prefix},
      {"mqtt://broker/a/", MqttAddressError::Prefix},
      {"mqtt://broker/a//b", MqttAddressError::Prefix},
      {"mqtt://broker/a/#", MqttAddressError::Prefix},
      {"mqtt://broker/+/b", MqttAddressError::Prefix},
  };
  for (const Case& c : cases) {
    const auto got = parseMqttAddress(c.text);
    ASSERT_EQ(got.has_value(), c.expected.index() == 0) << c.text;
    if (const auto* a = got ? &*got : nullptr) {
      const auto& e = std::get<MqttAddress>(c.expected);
      EXPECT_EQ(std::tie(a->tls, a->user, a->password, a->host, a->port, a->prefix),
                std::tie(e.tls, e.user, e.password, e.host, e.port, e.prefix))
          << c.text;
    } else {
      EXPECT_EQ(got.error(), std::get<MqttAddressError>(c.expected)) << c.text;
    }
  }
  EXPECT_EQ(addressText(parseMqttAddress("mqtts://ann:pw@h:9/a/b").value()), "mqtts://ann@h:9/a/b")
      << "the password is never shown";
}

// Through JSON and back, a record line keeps every byte, whatever its numbers.
TEST(StateMessage, CarriesTheRecordLineByteForByteAndRefusesWhatIsNoRecord) {
  const std::vector<RecordLine> records = {
      {{2026, 3, 1, 0, 0, 0}, 0.0f, 0, 0, 60},
      {{2026, 3, 1, 13, 5, 0}, 0.123f, 54, 1234, 780},
      {{2026, 12, 31, 23, 59, 0}, 1.5f, 9000, 123456789012LL, 86400LL * 400},
      {{2026, 7, 4, 9, 9, 0}, 12.345f, 7, 8, 9},
  };
  for (const RecordLine& r : records) {
    const std::string line = formatRecordLine(r);
    const auto state = stateFromLine(line, r.netDose > 1, r.cpm == 9000);
    ASSERT_TRUE(state) << line;
    const std::string json = stateJson(*state);
    const auto fields = readSettingsFields(line);
    EXPECT_NE(json.find("\"dose_rate\":" + fields[2].text + ","), std::string::npos) << json;
    const auto back = parseStateJson(json);
    ASSERT_TRUE(back) << json;
    EXPECT_EQ(recordLineOf(*back), line);
    EXPECT_EQ(back->alarm1, r.netDose > 1);
    EXPECT_EQ(back->alarm2, r.cpm == 9000);
    EXPECT_EQ(back->isoTime(), state->isoTime());
  }
  const auto state = stateFromLine("\"2026/03/01\",\"13:05\",0.123,54,1234,780\r\n", true, false);
  const auto json = nlohmann::json::parse(stateJson(*state));
  EXPECT_EQ(json["time"], "2026-03-01T13:05:00" + utcOffsetText({2026, 3, 1, 13, 5, 0}));
  EXPECT_EQ(std::tuple(json["date"], json["minute"], json["cpm"], json["total"], json["elapsed"],
                       json["alarm1"]),
            std::tuple("2026/03/01", "13:05", 54, 1234, 780, true));
  EXPECT_FALSE(json.contains("health")) << "only where known";
  EXPECT_FALSE(json.contains("cpm95") || json.contains("capped") || json.contains("lower_bound"))
      << "only where known";
  // It refuses what is no record.
  for (const char* line :
       {"", "\"2026/03/01\",\"13:05\",x,54,1234,780", "\"2026/02/30\",\"13:05\",0.1,54,1234,780",
        "\"2026/03/01\",\"13:05\",0.1,54.5,1234,780", "\"2026/03/01\",\"13:05\",0.1,54,1234"})
    EXPECT_FALSE(stateFromLine(line, false, false)) << line;
  const std::string good =
      stateJson(*stateFromLine("\"2026/03/01\",\"13:05\",0.1,5,6,60", false, false));
  for (std::string bad : {std::string("[]"), std::string("{"), std::string("{\"time\":\"x\"}")})
    EXPECT_FALSE(parseStateJson(bad)) << bad;
  // A time that does not match the date and minute is no record of either.
  std::string mismatched = good;
  mismatched.replace(mismatched.find("13:05:00"), 8, "13:06:00");
  EXPECT_FALSE(parseStateJson(mismatched));
}

// The intervals behind a record: [low, high] arrays, an upper end past the dead-time
// cap as null, and read back as they were written.
TEST(StateMessage, CarriesTheIntervalsAndTheCapBeside) {
  const struct {
    RecordBounds bounds;
    const char* json;
  } rows[] = {
      {{12.21652, 30.88838, 0, 0.286, false},
       R"("cpm95":[12.2,30.9],"dose95":[0.000,0.286],"capped":false,"lower_bound":false})"},
      {{63046.1, HUGE_VAL, 583.76, HUGE_VAL, true},
       R"("cpm95":[63046.1,null],"dose95":[583.760,null],"capped":true,"lower_bound":true})"},
  };
  for (const auto& row : rows) {
    auto state = stateFromLine("\"2026/03/01\",\"13:05\",588.333,63540,3812400,60", true, false);
    state->bounds = row.bounds;
    const std::string json = stateJson(*state);
    EXPECT_NE(json.find(row.json), std::string::npos) << json;
    const auto back = parseStateJson(json);
    ASSERT_TRUE(back && back->bounds) << json;
    EXPECT_NEAR(back->bounds->cpmLow, row.bounds.cpmLow, 0.05);
    EXPECT_NEAR(back->bounds->doseLow, row.bounds.doseLow, 5e-4);
    EXPECT_EQ(std::isinf(back->bounds->cpmHigh), row.bounds.capped);
    EXPECT_EQ(back->bounds->capped, row.bounds.capped);
  }
}

TEST(UtcOffsetText, FollowsTheTimeZoneAndItsSummerTime) {
  testing::ScopedTimeZone zone("UTC");
  struct Case {
    const char* zone;
    LocalDateTime when;
    const char* offset;
  };
  const Case cases[] = {{"Asia/Tokyo", {2026, 1, 1, 12, 0, 0}, "+09:00"},
                        {"UTC", {2026, 1, 1, 12, 0, 0}, "+00:00"},
                        {"Europe/Berlin", {2026, 1, 1, 12, 0, 0}, "+01:00"},
                        {"Europe/Berlin", {2026, 7, 1, 12, 0, 0}, "+02:00"},
                        {"America/St_Johns", {2026, 1, 1, 12, 0, 0}, "-03:30"}};
  for (const Case& c : cases) {
    zone.set(c.zone);
    EXPECT_EQ(utcOffsetText(c.when), c.offset) << c.zone;
  }
}

class PublishFiles : public ::testing::Test {
 protected:
  void writeDay(const std::string& day, const std::vector<std::string>& lines) {
    std::ofstream out(folder / dayFileName(day), std::ios::binary);
    for (const auto& l : lines) out << l << "\r\n";
  }
  ftp::testing::TempStation temp_{"radmon_pubfiles", "station", {}};
  const fs::path folder = temp_.program;
};

TEST_F(PublishFiles, SettingsReadBackAndAPasswordOthersCanReadIsTold) {
  const std::string path = (folder / kMqttSettingsFileName).string();
  EXPECT_EQ(loadMqttSettings(path).value, MqttSettings{}) << "no file: the defaults";
  MqttSettings s{"mqtt://ann@h/a", "pw\nurl=evil", "disc", "/ca.pem", "家", true};
  ASSERT_TRUE(saveMqttSettings(path, s));
  EXPECT_EQ(testing::fileMode(path), 0600u);
  const auto loaded = loadMqttSettings(path);
  s.password = "pwurl=evil";
  EXPECT_EQ(loaded.value, s) << "a line break cannot smuggle in a setting";
  EXPECT_TRUE(loaded.issues.empty());

  ::chmod(path.c_str(), 0644);
  std::ofstream(path, std::ios::app) << "colour=blue\n";
  const auto exposed = loadMqttSettings(path).issues;
  EXPECT_EQ(exposed,
            (std::vector<LineIssue<SettingsIssue>>{{7, SettingsIssue::UnknownLine, "colour=blue"},
                                                   {0, SettingsIssue::PasswordExposed, ""}}));
}

TEST_F(PublishFiles, CatchUpStartsAfterTheAcknowledgedRecord) {
  const std::string a = "\"2026/03/01\",\"23:58\",0.1,6,6,60";
  const std::string b = "\"2026/03/01\",\"23:59\",0.1,6,12,120";
  const std::string c = "\"2026/03/02\",\"00:00\",0.1,6,18,180";
  const std::string d = "\"2026/03/02\",\"00:01\",0.1,6,24,240";
  writeDay("20260301", {a, b});
  writeDay("20260302", {c, d});
  writeDay("20260228", {"\"2026/02/28\",\"12:00\",0.1,6,6,60"});
  std::ofstream(folder / "μSVHData2026030x.csv") << a;
  const std::string dir = folder.string() + "/";
  struct Case {
    const char* name;
    AckedRecord acked;
    std::vector<StoredRecord> due;
  };
  const Case cases[] = {
      {"mid-day", {"20260301", a}, {{"20260301", b}, {"20260302", c}, {"20260302", d}}},
      {"end of a day", {"20260301", b}, {{"20260302", c}, {"20260302", d}}},
      {"all acknowledged", {"20260302", d}, {}},
      {"start of a day", {"20260302", ""}, {{"20260302", c}, {"20260302", d}}},
      {"line no longer there",
       {"20260301", "\"2026/03/01\",\"23:58\",9,9,9,9"},
       {{"20260301", b}, {"20260302", c}, {"20260302", d}}},
  };
  for (const Case& k : cases) EXPECT_EQ(recordsAfter(dir, k.acked), k.due) << k.name;

  // A collector's request for a span again, answered from the same files across the day.
  auto moment = [](const std::string& line) { return *utcSeconds(*stateFromLine(line, 0, 0)); };
  struct Span {
    int64_t from, to;
    size_t most;
    std::vector<std::string> minutes;
  };
  const Span spans[] = {{moment(b), moment(c), 10, {"23:59", "00:00"}},
                        {moment(a), moment(d), 2, {"23:58", "23:59"}},
                        {moment(d) + 60, moment(d) + 600, 10, {}}};
  for (const Span& k : spans) {
    std::vector<std::string> minutes;
    for (const RecordState& r : recordsBetween(dir, k.from, k.to, k.most))
      minutes.push_back(r.minute);
    EXPECT_EQ(minutes, k.minutes) << k.from;
  }
  const auto request = parseResendJson(resendJson({moment(a), moment(d), 400}));
  ASSERT_TRUE(request);
  EXPECT_EQ(std::make_tuple(request->from, request->to, request->most),
            std::make_tuple(moment(a), moment(d), int64_t{400}));
  for (const char* bad : {"{\"from\":\"2026-03-02T00:00:00Z\",\"to\":\"2026-03-01T00:00:00Z\"}",
                          "{\"from\":\"yesterday\",\"to\":\"2026-03-01T00:00:00Z\"}", "[]"})
    EXPECT_FALSE(parseResendJson(bad)) << bad;

  EXPECT_EQ(newestRecord(dir, "20260310"), (AckedRecord{"20260302", d}));
  EXPECT_EQ(newestRecord((folder / "none/").string(), "20260310"), (AckedRecord{"20260310", ""}));

  const std::string path = (folder / kAckedFileName).string();
  EXPECT_FALSE(loadAckedRecord(path));
  ASSERT_TRUE(saveAckedRecord(path, {"20260301", a}));
  EXPECT_EQ(loadAckedRecord(path), (AckedRecord{"20260301", a}));
  std::ofstream(path) << "garbage\n";
  EXPECT_FALSE(loadAckedRecord(path));
}

// Which broker a station links to, and where a first and a later run start.
TEST_F(PublishFiles, StationLinkTakesTheCommandLineOverTheSettingsAndStartsAfterItsFiles) {
  const std::string dir = folder.string() + "/";
  const std::string dayDir = dir + "data/";
  fs::create_directories(dayDir);
  std::vector<LinkNotice> notices;
  EXPECT_FALSE(StationLink::open(dir, dayDir, {}, "20260301", notices)) << "no broker named";
  EXPECT_TRUE(notices.empty());

  MqttSettings s;
  s.url = "mqtt://127.0.0.1:1/from/settings";
  s.password = "pw";
  ASSERT_TRUE(saveMqttSettings(dir + kMqttSettingsFileName, s));
  auto link = StationLink::open(dir, dayDir, {}, "20260301", notices);
  ASSERT_TRUE(link);
  EXPECT_EQ(link->address(), "mqtt://127.0.0.1:1/from/settings");
  link = StationLink::open(dir, dayDir, {"mqtt://127.0.0.1:1/from/line", std::nullopt}, "20260301",
                           notices);
  ASSERT_TRUE(link);
  EXPECT_EQ(link->address(), "mqtt://127.0.0.1:1/from/line");
  EXPECT_FALSE(StationLink::open(dir, dayDir, {"mqtt://127.0.0.1:1/a/#", std::nullopt}, "20260301",
                                 notices));
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(std::tie(notices[0].kind, notices[0].address),
            std::tuple(LinkNotice::BadAddress, MqttAddressError::Prefix));
  link.reset();

  // The first run began after the day file's one line; a later run catches up the rest.
  ::unlink((dir + kAckedFileName).c_str());
  const std::string first = "\"2026/03/01\",\"10:00\",0.1,6,6,60";
  std::ofstream(dayDir + dayFileName("20260301"), std::ios::binary) << first << "\r\n";
  notices.clear();
  link = StationLink::open(dir, dayDir, {}, "20260301", notices);
  link.reset();
  EXPECT_EQ(loadAckedRecord(dir + kAckedFileName), (AckedRecord{"20260301", first}));
  EXPECT_TRUE(notices.empty());
  std::ofstream(dayDir + dayFileName("20260301"), std::ios::binary | std::ios::app)
      << "\"2026/03/01\",\"10:01\",0.1,6,12,120\r\n\"2026/03/01\",\"10:02\",0.1,6,18,180\r\n";
  ::chmod((dir + kMqttSettingsFileName).c_str(), 0640);
  link = StationLink::open(dir, dayDir, {}, "20260301", notices);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(std::tie(notices[0].settings.kind, notices[1].kind, notices[1].count),
            std::tuple(SettingsIssue::PasswordExposed, LinkNotice::CatchingUp, 2u));
  EXPECT_EQ(link->status().waiting, 2u);
}

}  // namespace
}  // namespace radmon
