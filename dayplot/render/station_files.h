// The station's page beside its graphs: index.html (the latest reading, the station's
// state, today's, yesterday's, the month's and the year's graphs) and readings.json
// (today's minutes), written into the data folder for the upload to send with the graph.
// What they hold comes from the day files and the day's event log alone.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "day_record.h"
#include "event_log.h"
#include "local_time.h"
#include "period_table.h"
#include "station_page.h"

namespace radmon {

inline constexpr const char* kPageFileName = "index.html";
inline constexpr const char* kReadingsFileName = "readings.json";

// A record older than this at the page's making means ratemon has stopped recording.
inline constexpr int kStoppedAfterSeconds = 5 * 60;

struct PageSources {
  std::string dataFolder;  // ends with the separator
  std::string graphName;   // the images' base name
  std::string place;       // the station's name on the page
  LocalDateTime now;
};

// The files to send, in the order that keeps the page whole on the server: the images it
// shows, its minutes, then the page.
struct StationFiles {
  std::vector<std::string> images;
  std::string readings;
  std::string page;
  std::vector<std::string> inOrder() const;
};

// The day's minutes as JSON: {"station", "date" (yyyy/mm/dd), "unit": "µSv/h",
// "readings": [{"time" (hh:mm), "cpm", "doseRate", "low", "high"}]}, the interval's ends
// null where the records' scale does not tell it, cpm null where it is no whole number.
std::string readingsJson(const std::string& place, const std::string& slashDate,
                         const std::vector<DayRecord>& rows);

// The 95 % interval of one record's rate from its minute's count through the day's
// scale; none without a scale or a count.
std::optional<CountInterval> recordInterval(const DayRecord& record,
                                            const std::optional<DoseScale>& scale);

// The state the files tell at `now`: an alarm stage latched while records come in (the
// day before's latches carried in `before`), a fault still open in the day's events, no
// record for kStoppedAfterSeconds, the readings capped at a lower bound, or measuring.
web::StationState stationState(const std::optional<LocalDateTime>& lastRecord,
                               const std::vector<EventLine>& events, const LocalDateTime& now,
                               AlarmLatches before = {});

// The page's content from the files in the data folder: the last record of today (of
// yesterday before today's first), the graph images that exist.
web::PageContent pageContent(const PageSources& sources);

// Writes readings.json and index.html whole (each replaced at once); the files to send,
// or what went wrong writing.
struct StationFilesWritten {
  std::optional<StationFiles> files;
  std::string failedPath, reason;
};
StationFilesWritten writeStationFiles(const PageSources& sources);

}  // namespace radmon
