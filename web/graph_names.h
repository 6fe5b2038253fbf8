// The names of the graph files dayplot draws into the data folder and the station's page
// shows: the day's JPEG or BMP, the month's and year's, and each drawn for the screen.
#pragma once

#include <string>
#include <string_view>

#include "period_table.h"

namespace radmon {

// the graph name alone for today, so the real-time graph always replaces one file; any other
// day gets the graph name + "_" + yyyymmdd.
std::string imageBaseName(std::string_view baseName, std::string_view targetDay,
                          std::string_view todayYyyymmdd);

// the graph name + "_" + YYYYMM or YYYY: the period graph's images without their extension.
std::string periodImageBaseName(std::string_view baseName, const Period& period);

// graph name + "_" + yyyymmdd + ".svg", today's too: the name tells its day.
std::string screenGraphName(std::string_view graphName, std::string_view yyyymmdd);

// graph name + "_" + YYYYMM or YYYY + ".svg": the month's or year's graph for the screen.
std::string periodScreenGraphName(std::string_view graphName, const Period& period);

}  // namespace radmon
