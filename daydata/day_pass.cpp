#include "day_pass.h"

#include <cmath>

#include "number_text.h"

namespace radmon {
namespace {

// The number in characters `from` and `from + 1` (1-based) of a time text; a text that
// is not a number counts as 0.
int twoDigitsAt(const std::string& time, size_t from) {
  if (from - 1 >= time.size()) return 0;
  const auto value = readNumber(std::string_view(time).substr(from - 1, 2));
  if (!value || std::abs(*value) > 1e6) return 0;
  return static_cast<int>(*value);
}

}  // namespace

DailyStats runDayPass(const DayTable& table, const std::function<void(const PlotPair&)>& onPair,
                      const std::vector<bool>& suspect) {
  DailyStats stats;
  const auto& rows = table.rows;
  auto setAside = [&](size_t k) { return k < suspect.size() && suspect[k]; };
  HalfDay halfDay = HalfDay::Morning;
  for (size_t k = 0; k + 1 < rows.size(); ++k) {
    const DayRecord& a = rows[k];
    const DayRecord& b = rows[k + 1];
    int h1 = twoDigitsAt(a.time, 1);
    int h2 = twoDigitsAt(b.time, 1);
    // Only the first record's hour decides, so 11:59 -> 12:00 ends at minute 720 of
    // the morning panel; once in the afternoon, the curve stays there.
    if (h1 > 11) {
      halfDay = HalfDay::Afternoon;
      h1 -= 12;
      h2 -= 12;
    }
    PlotPair pair;
    pair.halfDay = halfDay;
    pair.t1 = 60 * h1 + twoDigitsAt(a.time, 4);
    pair.t2 = 60 * h2 + twoDigitsAt(b.time, 4);
    pair.r1 = a.rate;
    pair.r2 = b.rate;
    pair.drawn = pair.t2 - pair.t1 == 1;
    pair.suspect = setAside(k) || setAside(k + 1);
    onPair(pair);
  }
  for (size_t k = 0; k < rows.size(); ++k) {
    if (setAside(k)) {
      ++stats.setAside;
      continue;
    }
    stats.sum += rows[k].rate;
    if (rows[k].rate > stats.maximum) stats.maximum = rows[k].rate;
    ++stats.count;
  }
  if (stats.count > 0) stats.average = roundHalfEven(stats.sum / stats.count, 3);
  return stats;
}

std::string statisticsLine(const DailyStats& stats) {
  return "statistics max=" + shortestText(stats.maximum) + " mean=" + shortestText(stats.average) +
         " minutes=" + std::to_string(stats.count) + " suspect=" + std::to_string(stats.setAside);
}

}  // namespace radmon
