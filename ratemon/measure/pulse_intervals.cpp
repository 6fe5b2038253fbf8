#include "pulse_intervals.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace radmon {
namespace {

// Intervals of a Poisson source of rate λ that fall in [from, to) out of `n`.
double expectedBetween(double n, double rate, double from, double to) {
  return n * (std::exp(-rate * from) - std::exp(-rate * to));
}

// The most intervals a Poisson count of mean `expected` plausibly shows: an observed
// count above this is an excess with p well below 0.1 %, however small `expected` is.
double plausibleMost(double expected) { return 2.0 * expected + 4.0 * std::sqrt(expected) + 5.0; }

struct MainsLook {
  int observed = 0;
  double expected = 0;
};

// Intervals within ±0.4 ms of k half periods (k = 1..10) of the mains at `hz`.
MainsLook lookAtMains(const std::vector<double>& intervals, double rate, int hz) {
  constexpr double kHalfWidth = 0.4e-3;
  const double half = 0.5 / hz;
  MainsLook look;
  const double n = static_cast<double>(intervals.size());
  for (int k = 1; k <= 10; ++k) {
    const double from = k * half - kHalfWidth, to = k * half + kHalfWidth;
    look.expected += expectedBetween(n, rate, from, to);
    look.observed += static_cast<int>(std::count_if(intervals.begin(), intervals.end(),
                                                    [&](double t) { return t >= from && t < to; }));
  }
  return look;
}

// After-pulses at any rate. Past the counter's blind time (at most the shortest interval
// seen) the intervals of a random source are exponential, so those past the window tell
// the true rate λ by their mean excess over it, and the window should then hold
// tail · (e^(λ(W − shortest)) − 1) intervals. From a few hundred CPM on, where the
// counter's blindness takes a share of the window and a Poisson curve from 0 overstates
// it, this sees after-pulses the bound above misses (its factor of two is about the
// whole window at 30000 CPM). Where the blind time varies from pulse to pulse the
// shortest lies at its low end and the expectation is, if anything, too high.
bool excessAfterBlindTime(const std::vector<double>& intervals, const IntervalAnalysis& a) {
  constexpr size_t kFewestInTail = 200;
  double excess = 0;
  size_t tail = 0;
  for (const double t : intervals) {
    if (t < kRingWindow) continue;
    excess += t - kRingWindow;
    ++tail;
  }
  if (tail < kFewestInTail || !(excess > 0)) return false;
  const double n = static_cast<double>(tail);
  const double rate = n / excess;
  const double span = std::max(0.0, kRingWindow - a.shortest);
  const double grows = std::exp(rate * span);
  const double expected = n * (grows - 1.0);
  // The count in the window is Poisson about its expectation, and λ is known to λ/√tail.
  const double fromRate = n * span * grows * rate / std::sqrt(n);
  const double spread = std::sqrt(expected + fromRate * fromRate);
  return a.shortObserved > expected + 4.0 * spread + 5.0;
}

}  // namespace

PulseIntervals::PulseIntervals(int sampleRate) : sampleRate_(sampleRate), ring_(kKept) {}

void PulseIntervals::addPulse(int64_t position) {
  if (lastPulse_ >= 0 && position > lastPulse_) {
    ring_[next_] = position - lastPulse_;
    next_ = (next_ + 1) % kKept;
    filled_ = std::min(filled_ + 1, kKept);
  }
  lastPulse_ = position;
}

void PulseIntervals::clear() {
  next_ = filled_ = 0;
  lastPulse_ = -1;
}

std::vector<double> PulseIntervals::intervalsSeconds() const {
  std::vector<double> out;
  out.reserve(filled_);
  const size_t first = (next_ + kKept - filled_) % kKept;
  for (size_t k = 0; k < filled_; ++k)
    out.push_back(static_cast<double>(ring_[(first + k) % kKept]) / sampleRate_);
  return out;
}

IntervalAnalysis analyseIntervals(const std::vector<double>& intervals) {
  IntervalAnalysis a;
  const int decades = static_cast<int>(std::lround(std::log10(kLastBin / kFirstBin)));
  for (int b = 0; b < decades * kBinsPerDecade; ++b) {
    a.bins.push_back({kFirstBin * std::pow(10.0, static_cast<double>(b) / kBinsPerDecade),
                      kFirstBin * std::pow(10.0, static_cast<double>(b + 1) / kBinsPerDecade), 0,
                      0});
  }
  a.intervals = intervals.size();
  if (intervals.empty()) {
    a.verdicts.push_back(IntervalVerdict::TooFew);
    return a;
  }
  const double n = static_cast<double>(intervals.size());
  const double total = std::accumulate(intervals.begin(), intervals.end(), 0.0);
  a.rate = total > 0 ? n / total : 0;
  a.shortest = *std::min_element(intervals.begin(), intervals.end());
  for (const double t : intervals) {
    const double position = std::log10(std::max(t, kFirstBin) / kFirstBin) * kBinsPerDecade;
    const auto bin = std::min(static_cast<size_t>(std::max(position, 0.0)), a.bins.size() - 1);
    ++a.bins[bin].observed;
  }
  for (auto& bin : a.bins) bin.expected = expectedBetween(n, a.rate, bin.from, bin.to);
  if (intervals.size() < kFewestIntervals) {
    a.verdicts.push_back(IntervalVerdict::TooFew);
    return a;
  }

  a.shortObserved = static_cast<int>(
      std::count_if(intervals.begin(), intervals.end(), [](double t) { return t < kRingWindow; }));
  a.shortExpected = expectedBetween(n, a.rate, 0, kRingWindow);
  if (a.shortObserved > plausibleMost(a.shortExpected) || excessAfterBlindTime(intervals, a))
    a.verdicts.push_back(IntervalVerdict::Rings);

  // A hole: a Poisson source would have put about n·(1 − e^(−λ·shortest)) intervals
  // below the shortest seen. When that is many (the hole is real) and more than 1 % of
  // the pulses (it matters), the resolution eats pulses.
  a.holeLoss = 1.0 - std::exp(-a.rate * a.shortest);
  if (n * a.holeLoss > 5.0 && a.holeLoss > 0.01)
    a.verdicts.push_back(IntervalVerdict::ResolutionEatsPulses);

  const MainsLook fifty = lookAtMains(intervals, a.rate, 50);
  const MainsLook sixty = lookAtMains(intervals, a.rate, 60);
  const bool fiftyPeaks = fifty.observed > plausibleMost(fifty.expected);
  const bool sixtyPeaks = sixty.observed > plausibleMost(sixty.expected);
  if (fiftyPeaks || sixtyPeaks) {
    a.verdicts.push_back(IntervalVerdict::MainsPeaks);
    const bool fiftyStronger = fifty.observed - fifty.expected >= sixty.observed - sixty.expected;
    a.mainsHz = (fiftyPeaks && (fiftyStronger || !sixtyPeaks)) ? 50 : 60;
  }
  if (a.verdicts.empty()) a.verdicts.push_back(IntervalVerdict::LooksRandom);
  return a;
}

}  // namespace radmon
