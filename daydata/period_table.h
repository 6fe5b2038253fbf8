// A month or a year of day files summed up day by day for the month and year graphs:
// each day's mean, lowest and highest dose rate, or nothing when the day has no file.
// Plain C++, no Qt.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "day_record.h"
#include "poisson_interval.h"
#include "read_result.h"

namespace radmon {

enum class PeriodKind { Month, Year };

struct Period {
  PeriodKind kind = PeriodKind::Month;
  int year = 2000;
  int month = 1;  // 1..12 for a month; unused for a year

  // "YYYYMM" for a month, "YYYY" for a year: the text after the image's base name.
  std::string name() const;
  // Every day of the period as yyyymmdd, in order.
  std::vector<std::string> days() const;
  friend bool operator==(const Period&, const Period&) = default;
};

// "YYYYMM" (a month) or "YYYY" (a year), digits only, year 1900..9999; no value
// otherwise.
std::optional<Period> parseMonth(std::string_view text);
std::optional<Period> parseYear(std::string_view text);

// How the day's records were made from their counts: rate = CPM × perCount less the
// background, cut to three decimals and never below 0.
struct DoseScale {
  double perCount = 0;    // μSv/h per CPM: 1 / the tube's factor
  double background = 0;  // μSv/h taken off each record
};

// One record for fitDoseScale: its CPM and rate, and whether it was corrected for dead
// time (its CPM is then its figure cut to a whole number, taken at the middle of that
// step, and its rate may lie a count's dose off the scale).
struct ScalePoint {
  double cpm = 0;
  double rate = 0;
  bool corrected = false;
};

// The scale of records with a rate above 0: the slope of rate on CPM by least squares
// gives the factor; the background is then what each record's cut gross dose lost, by
// the median. One factor and background must fit nine records in ten, or there is none.
// Where every uncorrected record agrees on a factor for a background near that one, the
// scale is refined to it (the cuts blur the slope and the background).
std::optional<DoseScale> fitDoseScale(const std::vector<ScalePoint>& points);

// The figures leave out the records set aside for a fault of the sound path (by the
// day's event log, suspect_minutes.h).
struct DaySummary {
  std::string day;                     // yyyymmdd
  bool present = false;                // a readable day file with at least one record counted
  int records = 0;                     // counted
  int setAside = 0;                    // left out
  double sum = 0;                      // of the rates, μSv/h
  double mean = 0, low = 0, high = 0;  // μSv/h, of the records
  // The day's mean net rate from its counts (dayMean95), free of the records' cut at 0;
  // the records' mean where they tell no scale. What the month and year graphs draw.
  double netMean = 0;
  // The pulses behind the day: the sum of the counted records' CPM (each a minute's
  // count); no value when such a record's CPM is no whole number.
  std::optional<int64_t> counts;
  // Found from the records with a rate above 0; none when they do not tell it (fewer
  // than two different counts, or a tube factor or background changed in the day).
  std::optional<DoseScale> scale;
  // Seconds of the day the station reported a fault (from the day's event log), for
  // the shading under the band; 0 where no log exists.
  int faultSeconds = 0;
  // A day with a file holding fewer than 23 hours of records (a whole day has 24, 23 on
  // a spring clock change): the station was off or its minutes went unwritten.
  bool hoursMissing = false;
};

inline constexpr size_t kRecordsOfAShortDay = 23 * 60;

struct PeriodTable {
  Period period;
  std::vector<DaySummary> days;  // one per day of the period, in order
  int daysPresent = 0;
  int64_t records = 0;
  double maximum = 0;  // the highest record of the period
  double mean = 0;     // of the days' net means by their records, 3 decimals, halves to even
};

// Reads the seconds of faults of a day (yyyymmdd) in the data folder; a reader of the
// day's event log plugs in here. Without one no fault is shown.
using FaultReader = std::function<int(const std::string& dataFolder, const std::string& day)>;

// One day file summed up with the day's event log beside it (present false when it has
// no record counted); each line of the day file that is no record an issue, its subject
// the file's name.
ReadResult<DaySummary, RecordIssue> readDaySummary(const std::string& dataFolder,
                                                   const std::string& day);

// The day's records summed up; those marked in `setAside` (one flag per record) are
// left out.
DaySummary summarizeDay(std::string day, const std::vector<DayRecord>& rows,
                        const std::vector<bool>& setAside);

// The day's mean net rate and its 95 % interval, both from the pulses behind the day:
// the day's count over its records through the records' scale, less the background
// (taken as exact). Averaging the counts first keeps the mean free of the records' cut
// at 0, which lifts the mean of the rates over the true net rate once the background
// is near it; the figure lies inside its interval by construction. Only the results
// are cut at 0: the lower end and, when the counts lie below the background, the mean
// (then `belowBackground`), while the upper end stays. Without a scale the rates are
// taken as the counts times one factor, with no background, and the mean is the
// records'. No value without pulses.
struct DayMean {
  double mean = 0;  // μSv/h
  CountInterval interval;
  bool belowBackground = false;
};
std::optional<DayMean> dayMean95(const DaySummary& day);

// The interval of dayMean95.
std::optional<CountInterval> meanInterval95(const DaySummary& day);

// Reads every day file of the period from `dataFolder`; the lines that are no record,
// of every file, are its issues.
ReadResult<PeriodTable, RecordIssue> readPeriodTable(const std::string& dataFolder,
                                                     const Period& period,
                                                     const FaultReader& faults = {});

}  // namespace radmon
