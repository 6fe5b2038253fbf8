// One day's record file as the day graph reads it: the rows in file order, found by the
// data folder and the day. Plain C++, no Qt.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "day_record.h"

namespace radmon {

struct DayTable {
  std::vector<DayRecord> rows;  // file order; as many as the file holds
  int skippedLines = 0;         // lines that could not be read (torn, short, no number)
};

// `dataFolder` + "μSVHData" + `targetDay` + ".csv".
std::string dayFilePath(std::string_view dataFolder, std::string_view targetDay);

// Reads every readable line of the file. No value when no ordinary file of that name
// exists (a missing folder included) or it cannot be opened. Lines that cannot be read,
// such as the half-written last line while ratemon appends, are skipped and counted.
std::optional<DayTable> readDayTable(const std::string& path);

// The same from text already in memory (UTF-8).
DayTable dayTableFromText(std::string_view text);

// "yyyy年mm月dd日" from the date text of the first row; characters beyond the end of the
// text give nothing, so an empty table gives "年月日".
std::string titleDate(const DayTable& table);
// The year, month and day of that title, for a language that orders them its own way.
std::array<std::string, 3> titleDateParts(const DayTable& table);

}  // namespace radmon
