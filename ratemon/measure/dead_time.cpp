#include "dead_time.h"

#include <algorithm>

namespace radmon {

DeadTimeResult correctDeadTime(double counted, double seconds, double tauSeconds) {
  if (!(tauSeconds > 0) || !(seconds > 0) || !(counted > 0)) return {counted, false};
  const double blind = counted / seconds * tauSeconds;  // mτ
  const bool capped = blind >= kDeadTimeCap;
  // At the cap the counted rate itself is held at the cap's rate, so the result stays
  // finite and rises no further however many pulses are counted.
  const double m = capped ? kDeadTimeCap / tauSeconds * seconds : counted;
  return {m / (1.0 - std::min(blind, kDeadTimeCap)), capped};
}

}  // namespace radmon
