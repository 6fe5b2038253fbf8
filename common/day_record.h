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
  LocalDateTime when;     // date and time of writing
  float netDose = 0;      // μSv/h, at most three decimals
  int64_t cpm = 0;
  int64_t totalCount = 0;
  int64_t elapsedSeconds = 0;
};

// "2011/09/19","12:34",0.123,54,1234,60 followed by CR LF. The dose is the shortest
// text of the single-precision value (0 and 1.5, never 1.500); the counts are exact
// integers however large.
std::string formatRecordLine(const RecordLine& record);

// One line of a day file as the day graph reads it: date, time, and the rate held as
// the decimal text of a single-precision number (at most 7 significant digits).
struct DayRecord {
  std::string date;  // yyyy/mm/dd
  std::string time;  // hh:mm
  std::string rateText;
  double rate = 0;   // the value of rateText
};

// Reads one line (with or without its line end). No value for a line that cannot be
// read: fewer than six fields or a rate that is not a number.
std::optional<DayRecord> parseRecordLine(std::string_view line);

}  // namespace radmon
