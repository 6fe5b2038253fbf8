#include "fault_bands.h"

#include <QPainter>
#include <algorithm>

#include "day_table.h"

namespace radmon {
namespace {

constexpr int kHalfDay = 43200;

}  // namespace

ReadResult<std::vector<FaultPeriod>, RecordIssue> readDayFaults(const std::string& dataFolder,
                                                                const std::string& targetDay,
                                                                int openUntil) {
  return readFaultPeriods(dataFolder, targetDay, openUntil);
}

void drawFaultBands(QPainter& p, const std::vector<FaultPeriod>& periods, const PanelPlace& place) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(kFaultBand);
  for (const FaultPeriod& period : periods) {
    for (const int half : {0, 1}) {
      const int from = std::max(period.from, half * kHalfDay);
      const int to = std::min(period.to, (half + 1) * kHalfDay);
      if (to <= from) continue;
      // Whole minutes touched by the period; at least one pixel wide.
      const int x1 = place.left + (from - half * kHalfDay) / 60;
      const int x2 = std::max(x1 + 1, place.left + (to - half * kHalfDay + 59) / 60);
      const int base = half == 0 ? place.morningBase : place.afternoonBase;
      // Inside the frame: from the pixel after the axis to the one under the top line.
      const int left = std::max(x1, place.left + 1);
      const int right = std::min(x2, place.left + 720);
      if (right <= left) continue;
      p.drawRect(left, base - place.height + 1, right - left, place.height - 1);
    }
  }
  p.restore();
}

int faultSecondsOfDay(const std::string& dataFolder, const std::string& day) {
  int seconds = 0;
  for (const FaultPeriod& period : readDayFaults(dataFolder, day, 24 * 3600).value)
    seconds += period.to - period.from;
  return seconds;
}

}  // namespace radmon
