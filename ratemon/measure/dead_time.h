// The non-paralysable dead-time correction: a counter that is blind for τ after every
// pulse it counts sees m = n / (1 + nτ) of a true rate n, so n = m / (1 − mτ). Beyond a
// cap the counter has lost so much that the model no longer speaks for the tube (a real
// tube is partly paralysable, and near mτ = 1 a small error in τ gives any answer): the
// result is then only a lower bound, never below what was counted. Plain C++, no Qt.
#pragma once

#include <cstdint>

namespace radmon {

// The largest share of the time the counter may be blind (mτ) for which the correction
// is applied as it stands: the true rate is then at most 1 / (1 − 0.3) = 1.43 times the
// counted one. At 30000 CPM the scan's own τ of 0.5 ms gives mτ = 0.2.
inline constexpr double kDeadTimeCap = 0.3;

struct DeadTimeResult {
  double rate = 0;  // the corrected rate, in the unit of the counted one
  // mτ reached the cap: the rate is a lower bound, the larger of the rate at the cap
  // and the counted one.
  bool capped = false;
};

// `counted` pulses in `seconds` (> 0) with a resolving time `tauSeconds`; τ <= 0 leaves
// the count as it is. The result is a count over the same time, never below `counted`,
// and it never falls as `counted` rises.
DeadTimeResult correctDeadTime(double counted, double seconds, double tauSeconds);

}  // namespace radmon
