#include "poisson_interval.h"

#include <gtest/gtest.h>

#include <cmath>

namespace radmon {

// 0 and 1 counts have closed forms: P(1, x) = 1 − e^−x and P(2, x) = 1 − e^−x (1 + x).
// 100 counts: the Poisson sums solved for the mean by bisection.
TEST(PoissonInterval95, KnownCountsAndScaledToARate) {
  const struct {
    int64_t count;
    double lower, upper, tolerance;
  } cases[] = {
      {0, 0.0, std::log(40.0), 1e-9},
      {1, -std::log(0.975), 5.5716434, 1e-6},
      {100, 81.36399, 121.62679, 1e-4},
      {-3, 0.0, std::log(40.0), 1e-9},  // a negative count is no count
  };
  for (const auto& c : cases) {
    const CountInterval i = poissonInterval95(c.count);
    EXPECT_NEAR(i.lower, c.lower, c.tolerance) << c.count;
    EXPECT_NEAR(i.upper, c.upper, c.tolerance) << c.count;
  }
  EXPECT_NEAR(std::exp(-5.5716434) * (1 + 5.5716434), 0.025, 1e-8);
  // 20 counts in a minute shown as CPM and as a dose with 0.01 μSv/h per CPM.
  const CountInterval cpm = scaledInterval95(20, 1.0);
  const CountInterval dose = scaledInterval95(20, 0.01);
  EXPECT_NEAR(cpm.lower, 12.21652, 1e-4);
  EXPECT_NEAR(cpm.upper, 30.88838, 1e-4);
  EXPECT_DOUBLE_EQ(dose.lower, cpm.lower * 0.01);
  EXPECT_DOUBLE_EQ(dose.upper, cpm.upper * 0.01);
}

// The bounds are the quantiles they claim to be, for counts where no closed form helps.
TEST(PoissonInterval95, BoundsAreTheGammaQuantiles) {
  for (const int64_t n : {2, 7, 30, 555, 20000, 999999}) {
    const CountInterval i = poissonInterval95(n);
    EXPECT_NEAR(regularizedGammaP(static_cast<double>(n), i.lower), 0.025, 1e-9) << n;
    EXPECT_NEAR(regularizedGammaP(static_cast<double>(n + 1), i.upper), 0.975, 1e-9) << n;
    EXPECT_LT(i.lower, static_cast<double>(n));
    EXPECT_GT(i.upper, static_cast<double>(n));
  }
}

// Large counts meet the normal limit n ± 1.96 √n: the exact bounds sit above it by
// (z² − 1) / 3 and (z² + 2) / 3 counts, so the switch to it moves them by under two.
TEST(PoissonInterval95, NormalLimitForLargeCounts) {
  constexpr double kZ2 = 1.959964 * 1.959964;
  for (const int64_t n : {int64_t{10000}, int64_t{200000}, kNormalLimitFrom - 1}) {
    const CountInterval i = poissonInterval95(n);
    const double x = static_cast<double>(n), half = 1.959964 * std::sqrt(x);
    EXPECT_NEAR(i.lower - (x - half), (kZ2 - 1) / 3, 0.05) << n;
    EXPECT_NEAR(i.upper - (x + half), (kZ2 + 2) / 3, 0.05) << n;
  }
  for (const int64_t n : {kNormalLimitFrom, int64_t{1} << 40}) {
    const CountInterval i = poissonInterval95(n);
    const double x = static_cast<double>(n), half = 1.959964 * std::sqrt(x);
    EXPECT_NEAR(i.lower, x - half, 1e-6 * half) << n;
    EXPECT_NEAR(i.upper, x + half, 1e-6 * half) << n;
  }
  const CountInterval below = poissonInterval95(kNormalLimitFrom - 1);
  const CountInterval at = poissonInterval95(kNormalLimitFrom);
  EXPECT_LT(std::abs(at.lower - below.lower), 2.0);
  EXPECT_LT(std::abs(at.upper - below.upper), 2.0);
}

}  // namespace radmon
