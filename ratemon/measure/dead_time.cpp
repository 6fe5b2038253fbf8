#include "dead_time.h"

#include <algorithm>

namespace radmon {

DeadTimeResult correctDeadTime(double counted, double seconds, double tauSeconds) {
  if (!(tauSeconds > 0) || !(seconds > 0) || !(counted > 0)) return {counted, false};
  const double blind = counted / seconds * tauSeconds;  // mτ
  if (blind < kDeadTimeCap) return {counted / (1.0 - blind), false};
  // Whatever the tube is, it lost at least what the model loses at the cap, and it never
  // gives more pulses than came: the true rate is no lower than either figure.
  const double atCap = kDeadTimeCap / tauSeconds * seconds / (1.0 - kDeadTimeCap);
  return {std::max(atCap, counted), true};
}

}  // namespace radmon
