// The stretches of a day in which ratemon's sound path was at fault, from the day's
// event log beside the day file, and their light bands behind the day graph's curve.
// A day without an event log, or whose log holds no fault, draws nothing here.
#pragma once

#include <QColor>
#include <string>
#include <vector>

#include "event_log.h"
#include "read_result.h"

class QPainter;

namespace radmon {

// Reads `dataFolder` + "μSVHEvents" + `targetDay` + ".csv". A fault still open at the
// end of the log runs to `openUntil` (seconds of the day: now for today, else the end
// of the day). Missing when there is no such file.
ReadResult<std::vector<FaultPeriod>, RecordIssue> readDayFaults(const std::string& dataFolder,
                                                                const std::string& targetDay,
                                                                int openUntil);

// The seconds of a day (yyyymmdd) that its event log marks as at fault; 0 without a
// log. The month and year graphs mark such days.
int faultSecondsOfDay(const std::string& dataFolder, const std::string& day);

// Where the half-day panels lie on the picture: one pixel a minute from `left`.
struct PanelPlace {
  int left = 0;
  int morningBase = 0;
  int afternoonBase = 0;
  int height = 0;
};

inline const QColor kFaultBand(255, 222, 200);  // light enough for the curve to read over
// The curve between minutes set aside (suspect_minutes.h): apart from the black of the
// minutes counted, and from the grid's grey.
inline const QColor kSuspectCurve(150, 150, 150);

// Fills each period's minutes inside the panels (the frame and axis lines left clear).
void drawFaultBands(QPainter& p, const std::vector<FaultPeriod>& periods, const PanelPlace& place);

}  // namespace radmon
