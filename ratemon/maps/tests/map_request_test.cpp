// The documented request of each service, under a German locale, and the queue file's
// lines and the settings file read back.
#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "map_request.h"
#include "maps_settings.h"
#include "time_zone.h"

namespace radmon {
namespace {

MapsSettings accounts() {
  MapsSettings s;
  s.radmon.user = "ab c";
  s.radmon.password = "p&w=1";
  s.gmcmap.account = "0123";
  s.gmcmap.geiger = "456";
  s.safecast.apiKey = "k+y";
  s.safecast.latitude = " 35.68950 ";
  s.safecast.longitude = "-139.5";
  s.safecast.deviceId = "42";
  return s;
}

TEST(MapRequest, EachServiceGetsItsDocumentedRequestWhateverTheLocale) {
  // A decimal comma wherever the C library is asked; the requests must not follow it.
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "localedef -i de_DE -f UTF-8";
  const auto reading = mapReadingOf("\"2026/03/02\",\"00:01\",0.125,1234567,1234999,60\r\n");
  ASSERT_TRUE(reading);
  struct Case {
    MapService service;
    MapRequest want;
  };
  const Case cases[] = {
      {MapService::Radmon,
       {"GET",
        "https://radmon.org/radmon.php?function=submit&user=ab%20c&password=p%26w%3D1&value="
        "1234567&unit=CPM",
        "", ""}},
      {MapService::Gmcmap,
       {"GET", "http://www.gmcmap.com/log2.asp?AID=0123&GID=456&CPM=1234567&ACPM=1234567&uSV=0.125",
        "", ""}},
      {MapService::Safecast,
       {"POST", "https://api.safecast.org/measurements.json?api_key=k%2By",
        "application/x-www-form-urlencoded", ""}},
  };
  const MapsSettings settings = accounts();
  for (const Case& c : cases) {
    const MapRequest got = mapRequest(c.service, settings, *reading);
    EXPECT_EQ(got.method, c.want.method) << mapServiceKey(c.service);
    EXPECT_EQ(got.url, c.want.url);
    EXPECT_EQ(got.contentType, c.want.contentType);
    if (c.service == MapService::Safecast) {
      // The moment is in UTC, so it shifts with the zone; the rest is fixed.
      EXPECT_TRUE(got.body.starts_with("measurement%5Bcaptured_at%5D=2026-03-0")) << got.body;
      EXPECT_TRUE(
          got.body.ends_with("&measurement%5Bdevice_id%5D=42&measurement%5Blatitude%5D="
                             "35.6895&measurement%5Blongitude%5D=-139.5&measurement%"
                             "5Bunit%5D=cpm&measurement%5Bvalue%5D=1234567"))
          << got.body;
    } else {
      EXPECT_EQ(got.body, "");
    }
  }
  std::setlocale(LC_ALL, "C");
}

TEST(MapRequest, QueueLinesReadBackAndTornOnesAreNone) {
  const MapReading r{1772409660, "2026/03/02", "00:01", 21, 0.194f};
  EXPECT_EQ(queueLine(r), "1772409660,2026/03/02,00:01,21,0.194");
  EXPECT_EQ(readQueueLine(queueLine(r)), r);
  for (const char* torn :
       {"", "1772409660,2026/03/02,00:01,21", "1772409660,2026/03/02,00:01,21,",
        "x,2026/03/02,00:01,21,0.1", "1,2026/03/02,00:01,2 1,0.1", "1,a,b,2,0.1,extra"})
    EXPECT_FALSE(readQueueLine(torn)) << torn;
  EXPECT_FALSE(mapReadingOf("\"2026/03/02\",\"00:0"));
}

// The running average goes to GMCmap with two decimals and survives the queue file; a
// queue line of an older run has none and sends the minute's own CPM.
TEST(MapRequest, GmcmapGetsTheRunningAverage) {
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "localedef -i de_DE -f UTF-8";
  MapReading r{1772409660, "2026/03/02", "00:01", 21, 0.194f, 20.0 + 2.0 / 3};
  EXPECT_EQ(queueLine(r), "1772409660,2026/03/02,00:01,21,0.194,20.67");
  EXPECT_EQ(readQueueLine(queueLine(r))->acpm, 20.67);
  EXPECT_FALSE(readQueueLine("1772409660,2026/03/02,00:01,21,0.194,2,0,1"));
  EXPECT_TRUE(mapRequest(MapService::Gmcmap, accounts(), r).url.ends_with("&ACPM=20.67&uSV=0.194"));
  r.acpm.reset();
  EXPECT_TRUE(mapRequest(MapService::Gmcmap, accounts(), r).url.ends_with("&ACPM=21&uSV=0.194"));
  std::setlocale(LC_ALL, "C");
}

// radmon.org and GMCmap answer 200 whether they took the reading or not; the body says.
TEST(MapAnswer, TheBodyDecidesForTheServicesThatAnswer200) {
  struct Case {
    MapService service;
    long status;
    const char* body;
    MapAnswer want;
  };
  const Case cases[] = {
      {MapService::Radmon, 200, "OK", MapAnswer::Taken},
      {MapService::Radmon, 200, "Incorrect login.", MapAnswer::WrongPassword},
      {MapService::Radmon, 200, "User x does not exist. Please register first.",
       MapAnswer::UnknownUser},
      {MapService::Radmon, 200, "", MapAnswer::Unexpected},
      {MapService::Radmon, 200, "<html>Maintenance</html>", MapAnswer::Unexpected},
      {MapService::Radmon, 503, "OK", MapAnswer::HttpRefused},
      {MapService::Gmcmap, 200, "OK", MapAnswer::Taken},
      {MapService::Gmcmap, 200, "ERR1. User is not found.", MapAnswer::UnknownAccount},
      {MapService::Gmcmap, 200, "ERR2. Geiger Counter is not found.", MapAnswer::UnknownCounter},
      {MapService::Gmcmap, 200, "ok", MapAnswer::Unexpected},
      {MapService::Gmcmap, 404, "", MapAnswer::HttpRefused},
      {MapService::Safecast, 201, "{}", MapAnswer::Taken},
      {MapService::Safecast, 401, "", MapAnswer::HttpRefused},
  };
  for (const Case& c : cases)
    EXPECT_EQ(judgeAnswer(c.service, c.status, c.body), c.want)
        << mapServiceKey(c.service) << " " << c.status << " " << c.body;
}

// Berlin's autumn change repeats 02:00 to 02:59: each pass reaches the maps at its own
// moment, as the minute before it placed it; the spring change's minutes are an hour apart.
TEST(MapRequest, MomentsFollowTheDaylightSavingChanges) {
  const testing::ScopedTimeZone zone("Europe/Berlin");
  struct Case {
    const char* date;
    const char* time;
    std::optional<int64_t> after;
    int64_t utc;
  };
  const Case cases[] = {
      {"2026/10/25", "01:59", std::nullopt, 1792886340},  // 23:59Z, summer time
      {"2026/10/25", "02:30", 1792886340, 1792888200},    // first pass, 00:30Z
      {"2026/10/25", "02:30", 1792889940, 1792891800},    // second pass, after 00:59Z: 01:30Z
      {"2026/10/25", "03:00", 1792893540, 1792893600},    // 02:00Z, winter time
      {"2026/03/29", "01:59", std::nullopt, 1774745940},  // 00:59Z
      {"2026/03/29", "03:00", 1774745940, 1774746000},    // 01:00Z, a minute on
  };
  for (const Case& c : cases) {
    const std::string line = std::string("\"") + c.date + "\",\"" + c.time + "\",0.1,10,10,60\r\n";
    const auto reading = mapReadingOf(line, c.after);
    ASSERT_TRUE(reading) << line;
    EXPECT_EQ(reading->utcSeconds, c.utc) << c.date << " " << c.time;
  }
}

TEST(MapsSettings, FileReadsBackAndRefusesWhatNoServiceTakes) {
  const auto path = std::filesystem::temp_directory_path() / "radmon_maps_settings_test.ini";
  MapsSettings s = accounts();
  s.gmcmap.on = true;
  s.safecast.latitude = "35.6895";  // the file keeps no blanks around a value
  ASSERT_TRUE(saveMapsSettings(path, s));
  EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::group_all,
            std::filesystem::perms::none);
  const auto read = loadMapsSettings(path);
  EXPECT_TRUE(read.issues.empty());
  EXPECT_EQ(read.value, s);
  std::ofstream(path) << "safecast.latitude=91\nsafecast.longitude=1,5\nradmon.on=yes\nfoo=1\n";
  const auto bad = loadMapsSettings(path);
  ASSERT_EQ(bad.issues.size(), 4u);
  EXPECT_EQ(bad.issues[0].kind, SettingsIssue::BadValue);
  EXPECT_EQ(bad.issues[3].kind, SettingsIssue::UnknownLine);
  EXPECT_EQ(bad.value, MapsSettings{});
  std::filesystem::remove(path);
}

// Each service's secret alone is enough for a file others may read to be told; a file
// without one, or readable by its owner only, is not.
TEST(MapsSettings, AnySecretInAFileOthersMayReadIsTold) {
  namespace fs = std::filesystem;
  const auto path = fs::temp_directory_path() / "radmon_maps_exposed_test.ini";
  constexpr auto kOwner = fs::perms::owner_read | fs::perms::owner_write;
  struct Case {
    const char* text;
    fs::perms mode;
    bool told;
  };
  const Case cases[] = {
      {"radmon.password=x\n", kOwner | fs::perms::others_read, true},
      {"gmcmap.account=0123\n", kOwner | fs::perms::others_read, true},
      {"safecast.api_key=k\n", kOwner | fs::perms::group_read, true},
      {"radmon.user=ab\ngmcmap.geiger=456\nsafecast.device_id=42\n",
       kOwner | fs::perms::others_read, false},
      {"gmcmap.account=0123\nsafecast.api_key=k\n", kOwner, false},
  };
  for (const Case& c : cases) {
    std::ofstream(path) << c.text;
    fs::permissions(path, c.mode);
    const auto read = loadMapsSettings(path);
    const bool told = std::any_of(read.issues.begin(), read.issues.end(), [](const auto& issue) {
      return issue.kind == SettingsIssue::PasswordExposed;
    });
    EXPECT_EQ(told, c.told) << c.text << std::oct << static_cast<unsigned>(c.mode);
  }
  fs::remove(path);
}

}  // namespace
}  // namespace radmon
