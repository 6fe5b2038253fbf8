// One day's record file as the day graph reads it: the rows in file order, found by the
// data folder and the day. Plain C++, no Qt.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "day_record.h"
#include "event_log.h"
#include "read_result.h"

namespace radmon {

struct DayTable {
  std::vector<DayRecord> rows;  // file order; as many as the file holds
};

// `dataFolder` + "μSVHData" + `targetDay` + ".csv".
std::string dayFilePath(std::string_view dataFolder, std::string_view targetDay);

// Reads every record of the file. Missing when no ordinary file of that name exists (a
// missing folder included) or it cannot be opened. Lines that are no record, such as
// the half-written last line while ratemon appends, are skipped, each an issue.
ReadResult<DayTable, RecordIssue> readDayTable(const std::string& path);

// The same from text already in memory (UTF-8).
ReadResult<DayTable, RecordIssue> dayTableFromText(std::string_view text);

// The fault periods of the day's event log, `dataFolder` + "μSVHEvents" + `targetDay` +
// ".csv"; a fault still open at the end of the log runs to `openUntil` (seconds of the
// day). Missing when there is no such file; each line that is no event an issue.
ReadResult<std::vector<FaultPeriod>, RecordIssue> readFaultPeriods(std::string_view dataFolder,
                                                                   std::string_view targetDay,
                                                                   int openUntil = 86400);

// The year, month and day of the graph's title from the date text of the first row;
// characters beyond the end of the text give nothing.
std::array<std::string, 3> titleDateParts(const DayTable& table);

}  // namespace radmon
