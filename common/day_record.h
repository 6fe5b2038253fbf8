// The daily record file: one CSV line per minute, written by ratemon and read by
// dayplot. This is the one definition of its name and line format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "local_time.h"

namespace radmon {

inline constexpr std::string_view kDayFilePrefix = "μSVHData";

// "μSVHData" + yyyymmdd + ".csv", without a folder.
std::string dayFileName(std::string_view yyyymmdd);

struct RecordLine {
  LocalDateTime when;  // date and time of writing
  float netDose = 0;   // μSv/h, at most three decimals
  int64_t cpm = 0;
  int64_t totalCount = 0;
  int64_t elapsedSeconds = 0;
};

// "2011/09/19","12:34",0.123,54,1234,60 followed by CR LF. The dose is the shortest
// text of the single-precision value (0 and 1.5, never 1.500); the counts are exact
// integers however large.
std::string formatRecordLine(const RecordLine& record);

// One line of a day file as every reader takes it: date, time, and the rate held as
// the decimal text of a single-precision number (at most 7 significant digits).
struct DayRecord {
  std::string date;  // yyyy/mm/dd as written
  std::string time;  // hh:mm as written
  std::string rateText;
  double rate = 0;  // the value of rateText
  float dose = 0;   // the single-precision value itself, as ratemon wrote it
  // The counts; no value where a field is no whole number of 0 or more.
  std::optional<int64_t> cpm, totalCount, elapsedSeconds;

  // The date and minute as a moment; no value when they name none.
  std::optional<LocalDateTime> when() const;
};

// The one reader of a record line (with or without its line end). A line is a record
// when it has six fields or more and its third is a number that single precision holds;
// anything else (a line torn by a crash, cut short, no number) is none. Dates, times and
// counts of other forms are kept as they stand, since older files hold them: a reader
// that needs the moment or the counts asks for them.
std::optional<DayRecord> parseRecordLine(std::string_view line);

}  // namespace radmon
