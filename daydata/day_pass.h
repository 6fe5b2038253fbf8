// The one pass over a day table: consecutive rows become plot pairs on the morning or
// afternoon panel, and the daily maximum and average are computed beside them, leaving
// out the records set aside for a fault of the sound path (suspect_minutes.h).
// Plain C++, no Qt.
#pragma once

#include <functional>
#include <string>
#include <vector>

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
  bool suspect = false;  // either end is a record set aside: drawn apart
};

// Maximum and average over every record of the file not set aside (the last one
// included, so the day's highest reading is never missed); average rounded to 3
// decimals, halves to even, 0 for a day without such a record.
struct DailyStats {
  double maximum = 0;
  double sum = 0;
  int count = 0;     // the records counted
  int setAside = 0;  // the records left out
  double average = 0;
};

// Runs the pass in row order, handing each pair to `onPair` as it is produced.
// `suspect`: one flag per row (suspectRecords); shorter or empty leaves the rest counted.
DailyStats runDayPass(const DayTable& table, const std::function<void(const PlotPair&)>& onPair,
                      const std::vector<bool>& suspect = {});

// "statistics max=0.052 mean=0.041 minutes=1380 suspect=60": the day's figures as the
// graph shows them, locale-free, for scripts.
std::string statisticsLine(const DailyStats& stats);

}  // namespace radmon
