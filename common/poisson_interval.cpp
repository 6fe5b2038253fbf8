#include "poisson_interval.h"

#include <algorithm>
#include <cmath>

namespace radmon {
namespace {

constexpr double kTail = 0.025;  // each side of the central 95 %
constexpr double kNormalZ = 1.959963984540054;
constexpr double kEpsilon = 1e-15;
constexpr int kMaxTerms = 100000;

// log of x^a e^-x / Γ(a), the common factor of the series and the continued fraction.
double logPrefix(double a, double x) { return a * std::log(x) - x - std::lgamma(a); }

// P(a, x) by its power series; converges fast for x < a + 1.
double seriesP(double a, double x) {
  double term = 1.0 / a;
  double sum = term;
  for (int n = 1; n < kMaxTerms; ++n) {
    term *= x / (a + n);
    sum += term;
    if (std::abs(term) < std::abs(sum) * kEpsilon) break;
  }
  return sum * std::exp(logPrefix(a, x));
}

// Q(a, x) = 1 − P(a, x) by its continued fraction (modified Lentz); for x >= a + 1.
double continuedFractionQ(double a, double x) {
  constexpr double kTiny = 1e-300;
  double b = x + 1.0 - a;
  double c = 1.0 / kTiny;
  double d = 1.0 / b;
  double h = d;
  for (int i = 1; i < kMaxTerms; ++i) {
    const double an = -i * (i - a);
    b += 2.0;
    d = an * d + b;
    if (std::abs(d) < kTiny) d = kTiny;
    c = b + an / c;
    if (std::abs(c) < kTiny) c = kTiny;
    d = 1.0 / d;
    const double step = d * c;
    h *= step;
    if (std::abs(step - 1.0) < kEpsilon) break;
  }
  return std::exp(logPrefix(a, x)) * h;
}

}  // namespace

double regularizedGammaP(double a, double x) {
  if (x <= 0) return 0;
  return x < a + 1.0 ? seriesP(a, x) : 1.0 - continuedFractionQ(a, x);
}

double inverseRegularizedGammaP(double a, double p) {
  // Wilson–Hilferty start from a rough normal quantile, then Newton steps kept inside a
  // shrinking bracket, with a bisection whenever a step would leave it.
  const double t = std::sqrt(-2.0 * std::log(std::min(p, 1 - p)));
  const double tailZ = t - (2.30753 + 0.27061 * t) / (1 + 0.99229 * t + 0.04481 * t * t);
  const double zs = p < 0.5 ? -tailZ : tailZ;
  const double cube = 1.0 - 1.0 / (9 * a) + zs / (3 * std::sqrt(a));
  double x = a * std::max(cube * cube * cube, 1e-3);
  double lo = 0, hi = std::max(2 * x, a + 40 * std::sqrt(a) + 100);
  for (int i = 0; i < 200; ++i) {
    const double f = regularizedGammaP(a, x) - p;
    if (f < 0)
      lo = x;
    else
      hi = x;
    const double density = std::exp((a - 1) * std::log(x) - x - std::lgamma(a));
    double next = density > 0 ? x - f / density : (lo + hi) / 2;
    if (!(next > lo && next < hi)) next = (lo + hi) / 2;
    if (std::abs(next - x) <= 1e-12 * std::max(1.0, x)) return next;
    x = next;
  }
  return x;
}

CountInterval poissonInterval95(int64_t count) {
  const double n = static_cast<double>(std::max<int64_t>(count, 0));
  if (count >= kNormalLimitFrom) {
    const double half = kNormalZ * std::sqrt(n);
    return {n - half, n + half};
  }
  // Garwood: the lower bound is ½·χ²(2n) at 2.5 %, the upper ½·χ²(2n + 2) at 97.5 %,
  // which are the gamma quantiles below.
  const double lower = n == 0 ? 0.0 : inverseRegularizedGammaP(n, kTail);
  return {lower, inverseRegularizedGammaP(n + 1, 1.0 - kTail)};
}

CountInterval scaledInterval95(int64_t count, double scale) {
  const CountInterval c = poissonInterval95(count);
  return {c.lower * scale, c.upper * scale};
}

}  // namespace radmon
