// The one pass over a day table: consecutive rows become plot pairs on the morning or
// afternoon panel, and the daily maximum and average are computed beside them.
// Plain C++, no Qt.
#pragma once

#include <functional>

#include "day_table.h"

namespace radmon {

enum class HalfDay { Morning, Afternoon };

// Rows k and k+1 as a segment: minutes t1 and t2 count from the start of the panel's
// half day (0 to 720). Only pairs exactly one minute apart are drawn, so a missing or
// repeated minute leaves a break in the curve.
struct PlotPair {
  HalfDay halfDay = HalfDay::Morning;
  int t1 = 0, t2 = 0;
  double r1 = 0, r2 = 0;
  bool drawn = false;
};

// Maximum and average over every record of the file (the last one included, so the
// day's highest reading is never missed); average rounded to 3 decimals, halves to
// even, 0 for an empty day.
struct DailyStats {
  double maximum = 0;
  double sum = 0;
  int count = 0;
  double average = 0;
};

// Runs the pass in row order, handing each pair to `onPair` as it is produced.
DailyStats runDayPass(const DayTable& table, const std::function<void(const PlotPair&)>& onPair);

}  // namespace radmon
