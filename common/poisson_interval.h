// The 95 % confidence interval of a Poisson count: how far the true mean may lie from a
// count of random pulses. Exact (the Garwood interval from the chi-square quantiles) up
// to a million counts; beyond that the normal limit, which by then lies within two counts
// (two millionths) of the exact bounds. Plain C++, no Qt.
#pragma once

#include <cstdint>

namespace radmon {

struct CountInterval {
  double lower = 0;
  double upper = 0;
};

// Counts from which the normal limit n ± 1.96·√n replaces the exact bounds.
inline constexpr int64_t kNormalLimitFrom = 1000000;

// The central 95 % interval of the mean behind `count` pulses (count >= 0; a negative
// count is taken as 0). 0 counts give [0, 3.689], 1 count [0.0253, 5.572].
CountInterval poissonInterval95(int64_t count);

// The same as a rate: the interval of `count` scaled by `scale` (e.g. 1 / minutes for
// CPM, or that times the dose factor for μSv/h).
CountInterval scaledInterval95(int64_t count, double scale);

// The regularized lower incomplete gamma function P(a, x), a > 0, x >= 0, and its
// inverse: the x with P(a, x) = p, 0 < p < 1. Exposed for the tests.
double regularizedGammaP(double a, double x);
double inverseRegularizedGammaP(double a, double p);

}  // namespace radmon
