// What the station's page tells from the files: its state from the last record and the
// day's events, and today's minutes as JSON with their intervals where the scale is known.
#include "station_files.h"

#include <QLocale>
#include <clocale>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "event_log.h"
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
  const struct {
    const char* name;
    std::string todayRecords, yesterdayLog, todayLog;
    StationState state;
  } cases[] = {
      {"latched since yesterday", today, alarm(1, EventKind::Alarm2), "", StationState::Alarm2},
      {"reset today", today, alarm(1, EventKind::Alarm2), alarm(2, EventKind::Alarm2Reset),
       StationState::Measuring},
      {"no record today", "", alarm(1, EventKind::Alarm1), "", StationState::Stopped},
  };
  write(dayFileName("20110401"), "\"2011/04/01\",\"23:59\",0.1,20,20,60\r\n");
  for (const auto& c : cases) {
    write(dayFileName("20110402"), c.todayRecords);
    write(eventFileName("20110401"), c.yesterdayLog);
    write(eventFileName("20110402"), c.todayLog);
    EXPECT_EQ(pageContent(sources).latest->state, web::stateWords(c.state)) << c.name;
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

}  // namespace
}  // namespace radmon
