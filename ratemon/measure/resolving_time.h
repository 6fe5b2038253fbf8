// The resolving time of this tube, circuit and scan together, estimated from the
// intervals between counted pulses: the value to enter for the dead-time correction.
// After a counted pulse nothing is counted for τ, so a non-paralysable counter's
// intervals are τ plus an exponential of the true rate; the shortest intervals sit just
// above τ. Plain C++, no Qt.
#pragma once

#include <cstddef>
#include <vector>

namespace radmon {

// The k-th shortest interval is taken (not the shortest), so that up to k − 1 stray
// intervals (a double count, a spike) do not pull the estimate down.
inline constexpr int kEstimateOrder = 5;
// The estimate is offered with at least this many intervals, a standard error of at
// most kEstimateTolerance (a full ring of 4096 intervals reaches that from about 700
// CPM on, whatever the pulse), and intervals that spread as a random source's do: their
// standard deviation within kSpreadTolerance of the mean excess over τ (a regular
// pulse train, a test generator's, has none, and no τ can be read from it).
inline constexpr size_t kFewestForEstimate = 1000;
inline constexpr double kEstimateTolerance = 50e-6;  // s
inline constexpr double kSpreadTolerance = 0.25;

struct ResolvingTimeEstimate {
  double seconds = 0;        // τ
  double standardError = 0;  // s
  size_t intervals = 0;
  double spread = 0;    // standard deviation / (mean − τ); 1 for a random source
  bool enough = false;  // the estimate is worth offering
};

// From the intervals, in seconds, in any order. The k-th shortest of N intervals lies
// about k / (N·n) above τ (n the true rate, 1/n = mean interval − τ); that excess is
// taken off. Nothing is estimated (0, not enough) from kEstimateOrder intervals or fewer.
ResolvingTimeEstimate estimateResolvingTime(std::vector<double> intervals);

}  // namespace radmon
