#include "resolving_time.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace radmon {

ResolvingTimeEstimate estimateResolvingTime(std::vector<double> intervals) {
  ResolvingTimeEstimate e;
  e.intervals = intervals.size();
  if (intervals.size() <= static_cast<size_t>(kEstimateOrder)) return e;
  const double n = static_cast<double>(intervals.size());
  const double mean = std::accumulate(intervals.begin(), intervals.end(), 0.0) / n;
  const auto kth = intervals.begin() + (kEstimateOrder - 1);
  std::nth_element(intervals.begin(), kth, intervals.end());
  // The k-th smallest of N exponential excesses of mean m lies on average
  // m·(1/N + 1/(N−1) + … + 1/(N−k+1)) above zero, with variance m²·Σ 1/(N−j)².
  double h = 0, h2 = 0;
  for (int j = 0; j < kEstimateOrder; ++j) {
    h += 1.0 / (n - j);
    h2 += 1.0 / ((n - j) * (n - j));
  }
  // t_k = τ + h·(mean − τ), solved for τ.
  const double tau = std::clamp((*kth - h * mean) / (1.0 - h), 0.0, *kth);
  e.seconds = tau;
  e.standardError = std::sqrt(h2) * (mean - tau);
  double squares = 0;
  for (const double t : intervals) squares += (t - mean) * (t - mean);
  // No excess over τ worth the name (below rounding): no spread to compare.
  e.spread = mean - tau > 1e-6 * mean ? std::sqrt(squares / n) / (mean - tau) : 0;
  e.enough = intervals.size() >= kFewestForEstimate && e.standardError <= kEstimateTolerance &&
             std::abs(e.spread - 1) <= kSpreadTolerance;
  return e;
}

}  // namespace radmon
