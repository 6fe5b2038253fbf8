// What the station's page tells from the files: its state from the last record and the
// day's events, and today's minutes as JSON with their intervals where the scale is known.
#include "station_files.h"

#include <QLocale>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "event_log.h"
#include "poisson_interval.h"
#include "temp_station.h"

namespace radmon {
namespace {

using web::StationState;

TEST(StationFiles, StateFromTheLastRecordAndTheDaysEvents) {
  const LocalDateTime now{2011, 4, 1, 12, 0, 0};
  auto at = [](int h, int m) { return LocalDateTime{2011, 4, 1, h, m, 0}; };
  auto event = [&](int h, int m, EventKind kind) { return EventLine{at(h, m), kind, ""}; };
  const struct {
    const char* name;
    std::optional<LocalDateTime> last;
    std::vector<EventLine> events;
    StationState state;
    AlarmLatches before = {};
  } cases[] = {
      {"recent record", at(11, 59), {}, StationState::Measuring},
      {"five minutes is still recording", at(11, 55), {}, StationState::Measuring},
      {"six minutes without a record", at(11, 54), {}, StationState::Stopped},
      {"no record", std::nullopt, {}, StationState::Stopped},
      {"input lost, still open",
       at(11, 59),
       {event(11, 0, EventKind::DeviceLost)},
       StationState::InputLost},
      {"input back",
       at(11, 59),
       {event(11, 0, EventKind::DeviceLost), event(11, 5, EventKind::DeviceBack)},
       StationState::Measuring},
      {"fault beats stopped",
       at(9, 0),
       {event(9, 1, EventKind::NoSignal)},
       StationState::SignalFault},
      {"signal back",
       at(11, 59),
       {event(9, 1, EventKind::Hum), event(9, 30, EventKind::SignalOk)},
       StationState::Measuring},
      {"capped", at(11, 59), {event(10, 0, EventKind::DeadTimeCapped)}, StationState::LowerBound},
      {"cap ended",
       at(11, 59),
       {event(10, 0, EventKind::DeadTimeCapped), event(10, 30, EventKind::DeadTimeOk)},
       StationState::Measuring},
      {"tube saturated",
       at(11, 59),
       {event(10, 0, EventKind::TubeSaturated)},
       StationState::LowerBound},
      {"saturation ended, still capped",
       at(11, 59),
       {event(10, 0, EventKind::DeadTimeCapped), event(10, 1, EventKind::TubeSaturated),
        event(10, 30, EventKind::TubeSaturatedOk)},
       StationState::LowerBound},
      {"saturation ended",
       at(11, 59),
       {event(10, 1, EventKind::TubeSaturated), event(10, 30, EventKind::TubeSaturatedOk)},
       StationState::Measuring},
      {"alarm beats the lower bound, told beside it",
       at(11, 59),
       {event(10, 0, EventKind::TubeSaturated), event(10, 0, EventKind::Alarm2)},
       StationState::Alarm2},
      {"alarm 1 latched", at(11, 59), {event(10, 0, EventKind::Alarm1)}, StationState::Alarm1},
      {"alarm 2 beats stage 1 and a lost input",
       at(11, 59),
       {event(10, 0, EventKind::Alarm1), event(10, 1, EventKind::Alarm2),
        event(10, 2, EventKind::DeviceLost)},
       StationState::Alarm2},
      {"stage 2 reset, stage 1 still latched",
       at(11, 59),
       {event(10, 0, EventKind::Alarm1), event(10, 1, EventKind::Alarm2),
        event(10, 3, EventKind::Alarm2Reset)},
       StationState::Alarm1},
      {"alarm reset",
       at(11, 59),
       {event(10, 0, EventKind::Alarm1), event(10, 3, EventKind::Alarm1Reset)},
       StationState::Measuring},
      {"no alarm when stopped",
       at(11, 0),
       {event(10, 0, EventKind::Alarm2)},
       StationState::Stopped},
      {"no stage 1 when stopped",
       at(11, 0),
       {event(10, 0, EventKind::Alarm1)},
       StationState::Stopped},
      {"no alarm of the day before when stopped",
       at(11, 0),
       {},
       StationState::Stopped,
       {true, true}},
      {"latched since the day before", at(11, 59), {}, StationState::Alarm1, {true, false}},
      {"reset today after the day before",
       at(11, 59),
       {event(0, 1, EventKind::Alarm1Reset)},
       StationState::Measuring,
       {true, false}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(stationState(c.last, c.events, now, c.before), c.state) << c.name;
}

// The page reads the state from the data folder: an alarm still latched at the end of
// yesterday's log is latched today until today's log resets it; with no record today
// the station is stopped whatever yesterday's last state was.
TEST(StationFiles, ThePageCarriesYesterdaysAlarmIntoTodayAndStopsWithoutARecordToday) {
  const ftp::testing::TempStation station{"radmon_page_state", "station", {}};
  const std::string folder = station.data.string() + "/";
  auto write = [&](const std::string& name, const std::string& text) {
    std::ofstream(station.data / name, std::ios::binary) << text;
  };
  auto alarm = [](int day, EventKind kind) {
    return formatEventLine({{2011, 4, day, 23, 0, 0}, kind, "x"});
  };
  const PageSources sources{folder, "graph", "here", {2011, 4, 2, 12, 0, 30}};
  const std::string today = "\"2011/04/02\",\"12:00\",0.125,25,25,60\r\n";
  auto event = [](int h, int m, EventKind kind) {
    return formatEventLine({{2011, 4, 2, h, m, 0}, kind, "x"});
  };
  auto yesterday = [](int h, int m, EventKind kind) {
    return formatEventLine({{2011, 4, 1, h, m, 0}, kind, "x"});
  };
  using web::LowerBound;
  const struct {
    const char* name;
    std::string todayRecords, yesterdayLog, todayLog;
    StationState state;
    LowerBound bound = LowerBound::None;  // told beside the state
  } cases[] = {
      {"latched since yesterday", today, alarm(1, EventKind::Alarm2), "", StationState::Alarm2},
      {"reset today", today, alarm(1, EventKind::Alarm2), alarm(2, EventKind::Alarm2Reset),
       StationState::Measuring},
      {"no record today", "", alarm(1, EventKind::Alarm1), "", StationState::Stopped},
      // The alarm and the lower bound together, and the last minute a lower bound.
      {"alarm and capped", today, "",
       event(11, 58, EventKind::DeadTimeCapped) + event(11, 59, EventKind::Alarm2),
       StationState::Alarm2, LowerBound::DeadTimeCapped},
      {"alarm and a saturated tube", today, alarm(1, EventKind::Alarm1),
       event(11, 58, EventKind::TubeSaturated), StationState::Alarm1, LowerBound::TubeSaturated},
      {"capped alone", today, "", event(11, 58, EventKind::DeadTimeCapped),
       StationState::LowerBound, LowerBound::DeadTimeCapped},
      // A saturated tube is told before the cap it also passes.
      {"capped, then saturated", today, "",
       event(11, 57, EventKind::DeadTimeCapped) + event(11, 58, EventKind::TubeSaturated),
       StationState::LowerBound, LowerBound::TubeSaturated},
      // Yesterday's log is read to its end, not to today's time of day.
      {"no record today, a fault that ended late yesterday", "",
       yesterday(22, 0, EventKind::Hum) + yesterday(23, 30, EventKind::SignalOk), "",
       StationState::Stopped},
      {"no record today, a fault open at yesterday's end", "", yesterday(22, 0, EventKind::Hum), "",
       StationState::SignalFault},
  };
  write(dayFileName("20110401"), "\"2011/04/01\",\"23:59\",0.1,20,20,60\r\n");
  for (const auto& c : cases) {
    write(dayFileName("20110402"), c.todayRecords);
    write(eventFileName("20110401"), c.yesterdayLog);
    write(eventFileName("20110402"), c.todayLog);
    const web::LatestReading latest = *pageContent(sources).latest;
    EXPECT_EQ(latest.state, web::stateWords(c.state, c.bound)) << c.name;
    // Today's minute is a lower bound inside the period; yesterday's was not.
    EXPECT_EQ(latest.lowerBound, c.bound != LowerBound::None) << c.name;
  }
}

TEST(StationFiles, ReadingsJsonHasAnIntervalWhereTheScaleIsKnown) {
  auto rows = [](std::vector<const char*> lines) {
    std::vector<DayRecord> out;
    for (const char* line : lines) out.push_back(*parseRecordLine(line));
    return out;
  };
  // 200 CPM to the μSv/h: the scale is found, each minute has its interval.
  auto json = nlohmann::json::parse(readingsJson(
      "局 \"1\"", "2011/04/01",
      rows({"\"2011/04/01\",\"00:00\",0.1,20,20,60", "\"2011/04/01\",\"00:01\",0.12,24,44,60"})));
  EXPECT_EQ(json["station"], "局 \"1\"");
  ASSERT_EQ(json["readings"].size(), 2u);
  const auto& first = json["readings"][0];
  EXPECT_EQ(first["time"], "00:00");
  EXPECT_EQ(first["cpm"], 20);
  EXPECT_DOUBLE_EQ(first["doseRate"].get<double>(), 0.1);
  EXPECT_NEAR(first["low"].get<double>(), 12.2 / 200, 1e-3);
  EXPECT_NEAR(first["high"].get<double>(), 30.9 / 200, 1e-3);
  // One count alone tells no scale; a count that is no whole number is null.
  json = nlohmann::json::parse(readingsJson(
      "", "2011/04/01",
      rows({"\"2011/04/01\",\"00:00\",0.1,20,20,60", "\"2011/04/01\",\"00:01\",0.1,x,20,60"})));
  EXPECT_TRUE(json["readings"][0]["low"].is_null());
  EXPECT_TRUE(json["readings"][1]["cpm"].is_null());
  EXPECT_TRUE(nlohmann::json::parse(readingsJson("", "2011/04/01", {}))["readings"].empty());
}

// A background taken off the dose: both ends of every minute's interval are net of it, in
// readings.json and on the page alike.
TEST(StationFiles, IntervalEndsAreNetOfTheBackground) {
  const ftp::testing::TempStation station{"radmon_page_background", "station", {}};
  // 200 CPM to the μSv/h less 0.05 μSv/h of background.
  const struct {
    const char* time;
    int cpm;
    const char* rate;
  } minutes[] = {{"00:01", 20, "0.05"}, {"00:02", 30, "0.1"}, {"00:03", 40, "0.15"}};
  std::string text;
  std::vector<DayRecord> rows;
  int64_t total = 0, elapsed = 0;
  for (const auto& m : minutes) {
    total += m.cpm;
    elapsed += 60;
    const std::string line = std::string("\"2011/04/01\",\"") + m.time + "\"," + m.rate + "," +
                             std::to_string(m.cpm) + "," + std::to_string(total) + "," +
                             std::to_string(elapsed) + "\r\n";
    text += line;
    rows.push_back(*parseRecordLine(line));
  }
  auto net = [](double cpm) { return std::max(0.0, cpm / 200.0 - 0.05); };
  const auto json = nlohmann::json::parse(readingsJson("x", "2011/04/01", rows));
  ASSERT_EQ(json["readings"].size(), std::size(minutes));
  for (size_t k = 0; k < std::size(minutes); ++k) {
    SCOPED_TRACE(minutes[k].time);
    const CountInterval c = poissonInterval95(minutes[k].cpm);
    ASSERT_TRUE(json["readings"][k]["high"].is_number());
    EXPECT_NEAR(json["readings"][k]["low"].get<double>(), net(c.lower), 1e-3);
    EXPECT_NEAR(json["readings"][k]["high"].get<double>(), net(c.upper), 1e-3);
  }
  std::ofstream(station.data / dayFileName("20110401"), std::ios::binary) << text;
  const auto latest =
      pageContent({station.data.string() + "/", "graph", "x", {2011, 4, 1, 0, 4, 0}}).latest;
  ASSERT_TRUE(latest);
  const CountInterval last = poissonInterval95(40);
  EXPECT_NEAR(latest->low, net(last.lower), 1e-3);
  EXPECT_NEAR(latest->high, net(last.upper), 1e-3);
}

// A stopped station is told stopped alone: a lower bound still open in the log when it
// stopped is no reading of now. Its last minute stays a lower bound.
TEST(StationFiles, AStoppedStationIsNotToldALowerBound) {
  const ftp::testing::TempStation station{"radmon_page_stopped", "station", {}};
  auto write = [&](const std::string& name, const std::string& text) {
    std::ofstream(station.data / name, std::ios::binary) << text;
  };
  const struct {
    const char* name;
    std::string today, todayLog;
  } cases[] = {
      {"stopped today", "\"2011/04/02\",\"11:50\",0.125,25,25,60\r\n",
       formatEventLine({{2011, 4, 2, 11, 49, 0}, EventKind::DeadTimeCapped, "x"})},
      {"no record today", "", ""},
  };
  write(dayFileName("20110401"), "\"2011/04/01\",\"23:59\",0.1,20,20,60\r\n");
  write(eventFileName("20110401"),
        formatEventLine({{2011, 4, 1, 23, 50, 0}, EventKind::TubeSaturated, "x"}));
  for (const auto& c : cases) {
    write(dayFileName("20110402"), c.today);
    write(eventFileName("20110402"), c.todayLog);
    const auto latest =
        pageContent({station.data.string() + "/", "graph", "here", {2011, 4, 2, 12, 0, 30}}).latest;
    ASSERT_TRUE(latest) << c.name;
    EXPECT_EQ(latest->state, web::stateWords(StationState::Stopped, web::LowerBound::None))
        << c.name;
    EXPECT_TRUE(latest->lowerBound) << c.name;
  }
}

// A day as ratemon writes it with a resolving time τ: each minute's counted pulses m
// corrected to n = m / (1 - mτ) (up to mτ = 0.3, past it the rate at the cap or m), the CPM
// n cut to a whole number, the dose n / 108 (a sensitivity of 18) less the background, in
// single precision and cut to three decimals; the total count the counted pulses.
std::vector<DayRecord> correctedDay(const std::vector<int64_t>& counted, double tau,
                                    double backgroundCpm) {
  auto cut3 = [](float x) { return std::floor(x * 1000.0f) / 1000.0f; };
  const float factor = 108.0f;
  const float background = cut3(static_cast<float>(backgroundCpm) / factor);
  std::vector<DayRecord> rows;
  int64_t total = 0;
  for (size_t k = 0; k < counted.size(); ++k) {
    const double m = static_cast<double>(counted[k]);
    const double blind = m / 60.0 * tau;
    const double n = blind < 0.3 ? m / (1.0 - blind) : std::max(0.3 / tau * 60.0 / 0.7, m);
    const auto cpm = static_cast<float>(n);
    const float net = std::max(0.0f, cut3(cpm / factor) - background);
    total += counted[k];
    const int minute = static_cast<int>(k) + 1;
    rows.push_back(*parseRecordLine(formatRecordLine({{2011, 4, 1, minute / 60, minute % 60, 0},
                                                      std::round(net * 1000.0f) / 1000.0f,
                                                      static_cast<int64_t>(std::floor(cpm)),
                                                      total,
                                                      60 * static_cast<int64_t>(minute)})));
  }
  return rows;
}

// Every minute corrected for dead time, some past the cap or from a saturated tube: each
// minute's interval is its counted pulses' through the correction and the scale (found
// although no minute's rate follows its whole CPM), a lower bound's has no upper end.
TEST(StationFiles, ReadingsJsonCorrectedMinutesAndLowerBounds) {
  constexpr double kTau = 499e-6;
  std::vector<int64_t> counted;
  for (int k = 0; k < 120; ++k) counted.push_back(15000 + 97 * k);  // mτ 0.125 to 0.22
  for (int k = 0; k < 20; ++k) counted.push_back(40000 + 50 * k);   // mτ 0.33: capped
  auto at = [](int minute, int second, EventKind kind) {
    return EventLine{{2011, 4, 1, minute / 60, minute % 60, second}, kind, ""};
  };
  const struct {
    const char* name;
    double backgroundCpm;
    std::vector<EventLine> events;
    int firstBound, lastBound;  // the minutes (1 = 00:01) told as lower bounds
  } cases[] = {
      {"capped, no background", 0, {at(121, 0, EventKind::DeadTimeCapped)}, 121, 140},
      {"capped and saturated with a background",
       18,
       {at(121, 0, EventKind::DeadTimeCapped), at(125, 0, EventKind::TubeSaturated),
        at(130, 30, EventKind::TubeSaturatedOk)},
       121,
       140},
      // A lower bound told for a while amid the corrected minutes: the minutes whose sound
      // reaches into it.
      {"saturated between",
       0,
       {at(30, 30, EventKind::TubeSaturated), at(40, 30, EventKind::TubeSaturatedOk),
        at(121, 0, EventKind::DeadTimeCapped)},
       121,
       140},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto rows = correctedDay(counted, kTau, c.backgroundCpm);
    const auto json = nlohmann::json::parse(readingsJson("x", "2011/04/01", rows, c.events));
    const double background = std::floor(c.backgroundCpm / 108.0 * 1000.0) / 1000.0;
    const bool between = std::string(c.name) == "saturated between";
    ASSERT_EQ(json["readings"].size(), rows.size());
    for (size_t k = 0; k < rows.size(); ++k) {
      const auto& minute = json["readings"][k];
      const int stamp = static_cast<int>(k) + 1;
      const bool bound = (stamp >= c.firstBound && stamp <= c.lastBound) ||
                         (between && stamp >= 30 && stamp <= 41);
      SCOPED_TRACE(stamp);
      EXPECT_EQ(minute["lower_bound"], bound);
      ASSERT_TRUE(minute["low"].is_number());
      const double dose = minute["doseRate"], low = minute["low"];
      EXPECT_LE(low, dose);
      if (bound) {
        EXPECT_TRUE(minute["high"].is_null());
        // No further below the figure than its count's spread.
        const double m = static_cast<double>(counted[k]);
        EXPECT_GT(low, (dose + background) * (1.0 - 3.0 / std::sqrt(m)) - background);
        continue;
      }
      // The counted pulses' interval, drawn in by 1 - mτ (a dead-time limited count varies
      // less than a Poisson one), through the correction with the true τ and factor.
      const double m = static_cast<double>(counted[k]);
      const double hearing = 1.0 - m / 60.0 * kTau;
      const CountInterval poisson = poissonInterval95(counted[k]);
      const CountInterval c95{m - (m - poisson.lower) * hearing, m + (poisson.upper - m) * hearing};
      auto corrected = [&](double m) { return m / (1.0 - m / 60.0 * kTau) / 108.0 - background; };
      ASSERT_TRUE(minute["high"].is_number());
      const double high = minute["high"];
      EXPECT_GE(high, dose);
      EXPECT_NEAR(low, corrected(c95.lower), 2e-3);
      EXPECT_NEAR(high, corrected(c95.upper), 2e-3);
    }
  }
}

// Decimal points wherever the page is made: the same bytes under a decimal-comma locale.
TEST(StationFiles, PageAndMinutesAreTheSameBytesUnderADecimalCommaLocale) {
  const std::vector<DayRecord> rows{*parseRecordLine("\"2011/04/01\",\"00:00\",0.125,25,25,60"),
                                    *parseRecordLine("\"2011/04/01\",\"00:01\",0.1,20,45,60")};
  web::PageContent content;
  content.latest = web::LatestReading{"2011/04/01 00:01", 0.125, 0.0815, 0.1845, 25, "ok"};
  auto made = [&] {
    return readingsJson("x", "2011/04/01", rows) + web::stationPage(content).toStdString();
  };
  const std::string inC = made();
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "localedef -i de_DE -f UTF-8";
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const std::string inGerman = made();
  std::setlocale(LC_ALL, "C");
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(inGerman, inC);
  for (const char* number : {"0.125", "0.082", "0.184", "\"doseRate\":0.1,", "0.0809"})
    EXPECT_NE(inC.find(number), std::string::npos) << number << "\n" << inC;
}

// The page claims no graph it does not have: today's graph keeps one name from day to
// day, so one written before today is an earlier day's and is named missing, not
// captioned "today"; a graph whose upload failed is named missing too.
TEST(StationFiles, TodaysGraphOnlyOnceDrawnTodayAndUnsentGraphsNamedMissing) {
  const ftp::testing::TempStation station{"radmon_page_graphs", "station", {}};
  const std::string folder = station.data.string() + "/";
  std::ofstream(station.data / "graph.jpg") << "x";
  std::ofstream(station.data / "graph_20110401.jpg") << "x";
  std::ofstream(station.data / "graph_20110401.svg") << "x";
  // A local moment as the file's time of writing.
  auto writtenAt = [&](int day, int hour, int minute) {
    std::tm local{};
    local.tm_year = 2011 - 1900;
    local.tm_mon = 3;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1;
    std::filesystem::last_write_time(
        station.data / "graph.jpg",
        std::chrono::file_clock::from_sys(
            std::chrono::system_clock::from_time_t(std::mktime(&local))));
  };
  const LocalDateTime now{2011, 4, 2, 0, 5, 0};
  const struct {
    const char* name;
    int day, hour, minute;  // graph.jpg written then
    std::vector<std::string> unsent;
    std::vector<QString> shown, missing;
  } cases[] = {
      {"drawn today", 2, 0, 1, {}, {"graph.jpg", "graph_20110401.jpg"}, {}},
      {"drawn before midnight", 1, 23, 50, {}, {"graph_20110401.jpg"}, {"今日 (2011/04/02)"}},
      {"yesterday's upload failed",
       2,
       0,
       1,
       {folder + "graph_20110401.jpg"},
       {"graph.jpg"},
       {"昨日 (2011/04/01)"}},
      // The JPEG went up, the page's drawing of it for the screen did not.
      {"yesterday's screen graph's upload failed",
       2,
       0,
       1,
       {folder + "graph_20110401.svg"},
       {"graph.jpg"},
       {"昨日 (2011/04/01)"}},
  };
  for (const auto& c : cases) {
    writtenAt(c.day, c.hour, c.minute);
    const web::PageContent content = pageContent({folder, "graph", "here", now, c.unsent});
    std::vector<QString> shown;
    for (const web::PageImage& image : content.graphs) shown.push_back(image.file);
    EXPECT_EQ(shown, c.shown) << c.name;
    EXPECT_EQ(std::vector<QString>(content.missingGraphs.begin(), content.missingGraphs.end()),
              c.missing)
        << c.name;
  }
}

}  // namespace
}  // namespace radmon
