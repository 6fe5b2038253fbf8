// The day graph drawn for the screen the station's page is read on: an SVG that scales to
// the page's width, with axis figures large enough to read on a 360 px phone, in the
// interface's language. The JPEG of the day graph stays as it is; the page shows this
// graph and links that one.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "day_record.h"
#include "event_log.h"
#include "local_time.h"
#include "period_table.h"

namespace radmon {

// The day's minutes as SVG: the curve, the minutes set aside for faults in grey, the
// day's maximum and mean over the others, the hours and µSv/h on the axes.
QByteArray daySvg(const LocalDateTime& day, const std::vector<DayRecord>& rows,
                  const std::vector<FaultPeriod>& faults);

// The month's or year's days as SVG: each day's lowest to highest minute as a band, the
// days' mean as a line, days at fault and days short of hours marked under the bands, the
// days or months and µSv/h on the axes, and what the marks mean.
QByteArray periodSvg(const PeriodTable& table);

// Draws the day `yyyymmdd` from its day file and event log in `dataFolder` into
// screenGraphName beside them, replaced whole; the path written, or why not (no day
// file, or the writing failed). `openUntil`: the second of the day a fault still open
// runs to (now, for today).
struct ScreenGraphWritten {
  std::optional<std::string> path;
  std::string reason;
};
ScreenGraphWritten writeDaySvg(const std::string& dataFolder, const std::string& graphName,
                               const std::string& yyyymmdd, int openUntil);

// Draws the period from its day files and event logs in `dataFolder` into
// periodScreenGraphName beside them, replaced whole; the path, or why not.
ScreenGraphWritten writePeriodSvg(const std::string& dataFolder, const std::string& graphName,
                                  const Period& period);

}  // namespace radmon
