#include "suspect_minutes.h"

#include <algorithm>

namespace radmon {

std::vector<EventKind> faultsOverRecord(int stampSecond, const std::vector<FaultPeriod>& periods) {
  const int soundFrom = stampSecond - 60, soundTo = stampSecond + 60;
  std::vector<EventKind> kinds;
  for (const FaultPeriod& period : periods) {
    // A period of no length (a fault and its end in the same second) still counts.
    const bool overlaps = period.from - kFaultOnsetSeconds < soundTo &&
                          std::max(period.to, period.from + 1) > soundFrom;
    if (overlaps && std::find(kinds.begin(), kinds.end(), period.kind) == kinds.end())
      kinds.push_back(period.kind);
  }
  return kinds;
}

std::vector<bool> suspectRecords(const std::vector<DayRecord>& records,
                                 const std::vector<FaultPeriod>& periods) {
  std::vector<bool> suspect(records.size(), false);
  if (periods.empty()) return suspect;
  for (size_t i = 0; i < records.size(); ++i) {
    if (const auto when = records[i].when())
      suspect[i] = !faultsOverRecord(when->secondOfDay(), periods).empty();
  }
  return suspect;
}

std::string healthWords(const std::vector<EventKind>& faults) {
  std::string text;
  for (const EventKind kind : faults)
    text.append(text.empty() ? "" : ",").append(eventKindName(kind));
  return text.empty() ? "ok" : text;
}

}  // namespace radmon
