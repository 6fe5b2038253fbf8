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
  // Images of the page (paths) whose upload failed: named on the page, not shown.
  std::vector<std::string> unsent{};
};

// The files to send, in the order that keeps the page whole on the server: the images it
// shows, its minutes, then the page.
struct StationFiles {
  std::vector<std::string> images;
  std::string readings;
  std::string page;
};

// A stretch of the day in which the readings were lower bounds, in seconds of the day:
// from dead-time-capped to dead-time-ok, or from tube-saturated to tube-saturated-ok.
struct LowerBoundPeriod {
  web::LowerBound kind = web::LowerBound::DeadTimeCapped;
  int from = 0;
  int to = 0;  // the end event, or `endOfLog` when none came
};
std::vector<LowerBoundPeriod> lowerBoundPeriods(const std::vector<EventLine>& events,
                                                int endOfLog = 86400);

// Why the readings are lower bounds after `events`: a saturated tube before a capped
// count; None when neither is open.
web::LowerBound lowerBoundAfter(const std::vector<EventLine>& events);

// One flag per record: a lower bound, because its sound (the minute's span of
// suspect_minutes.h, [hh:mm - 60 s, hh:mm + 60 s)) reaches into such a period. A record
// whose time is no hh:mm is not.
std::vector<bool> lowerBoundRecords(const std::vector<DayRecord>& rows,
                                    const std::vector<LowerBoundPeriod>& periods);

// The day's scale (rate = CPM x perCount - background), found from the records counted
// as they are: a minute corrected for dead time (its CPM above the pulses it counted) or
// a lower bound holds its figure cut to a whole CPM, so its rate follows the scale only
// to within a CPM's dose. Such minutes are left out, or, where too few are left, taken
// with that allowance.
std::optional<DoseScale> recordScale(const std::vector<DayRecord>& rows,
                                     const std::vector<bool>& lowerBound);

// The 95 % interval of record `k`'s rate in µSv/h. It comes from the pulses the minute
// counted (the step of the total count from the record a minute before in the same run,
// or the CPM where that is unknown) through the dead-time correction the record carries
// (the correction is a rising function of the count, so its bounds bound the figure) and
// then the scale. A lower bound's interval is the figure less its count's spread, with
// no upper end; so is a corrected one whose upper end lies past the correction's cap.
// An interval without an upper end has an infinite `upper`. None without a scale or a
// count.
std::optional<CountInterval> minuteInterval(const std::vector<DayRecord>& rows, size_t k,
                                            const std::optional<DoseScale>& scale, bool lowerBound);

// The day's minutes as JSON: {"station", "date" (yyyy/mm/dd), "unit": "µSv/h",
// "readings": [{"time" (hh:mm), "cpm", "doseRate", "low", "high", "lower_bound"}]}, the
// interval's ends null where the records' scale does not tell it, "high" null where the
// interval has no upper end (always so for a lower bound, a minute inside a lower-bound
// period of `events`), cpm null where it is no whole number.
std::string readingsJson(const std::string& place, const std::string& slashDate,
                         const std::vector<DayRecord>& rows,
                         const std::vector<EventLine>& events = {});

// The state the files tell at `now`: an alarm stage latched while records come in (the
// day before's latches carried in `before`), a fault still open in the day's events, no
// record for kStoppedAfterSeconds, the readings capped at a lower bound (or a saturated
// tube), or measuring. Whether the readings are lower bounds beside an alarm or a fault is
// lowerBoundAfter's to tell.
web::StationState stationState(const std::optional<LocalDateTime>& lastRecord,
                               const std::vector<EventLine>& events, const LocalDateTime& now,
                               AlarmLatches before = {});

// The page's content from the files in the data folder: the last record of today (of
// yesterday before today's first) with the banners of the station's state, the graph
// images that exist; today's graph only once it was drawn today, and any graph not
// shown named as missing.
web::PageContent pageContent(const PageSources& sources);

// Writes readings.json and index.html whole (each replaced at once); the files to send,
// or what went wrong writing.
struct StationFilesWritten {
  std::optional<StationFiles> files;
  std::string failedPath, reason;
};
StationFilesWritten writeStationFiles(const PageSources& sources);

}  // namespace radmon
