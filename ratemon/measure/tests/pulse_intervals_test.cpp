#include "pulse_intervals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace radmon {
namespace {

// Intervals between the counted pulses of a source: Poisson arrivals at `cpm`, each
// followed with probability `ringShare` by an after-pulse 0.5 to 1.5 ms later, plus
// pickup pulses at whole mains half periods (`mainsHz`, on a share of the pulses), all
// through a non-paralysable counter blind for `deadTime` seconds.
struct Source {
  double cpm = 20;
  double deadTime = 0.5e-3;
  double ringShare = 0;
  int mainsHz = 0;
  double mainsShare = 0;
};

std::vector<double> intervalsOf(const Source& s, size_t count, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::exponential_distribution<double> wait(s.cpm / 60);
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<double> arrivals;
  double t = 0;
  while (arrivals.size() < 2 * count + 10) {
    t += wait(rng);
    arrivals.push_back(t);
    if (unit(rng) < s.ringShare) arrivals.push_back(t + 0.5e-3 + 1e-3 * unit(rng));
    if (s.mainsHz && unit(rng) < s.mainsShare)
      arrivals.push_back(t + (1 + static_cast<int>(unit(rng) * 4)) * 0.5 / s.mainsHz);
  }
  std::sort(arrivals.begin(), arrivals.end());
  std::vector<double> intervals;
  double last = -1;
  for (const double a : arrivals) {
    if (last >= 0 && a - last < s.deadTime) continue;
    if (last >= 0) intervals.push_back(a - last);
    last = a;
    if (intervals.size() == count) break;
  }
  return intervals;
}

}  // namespace

TEST(AnalyseIntervals, Verdicts) {
  using V = IntervalVerdict;
  const struct {
    const char* name;
    Source source;
    size_t count;
    std::vector<V> verdicts;
    int mainsHz;
  } cases[] = {
      {"background tube", {}, 4096, {V::LooksRandom}, 0},
      {"busy tube", {600, 0.5e-3}, 4096, {V::LooksRandom}, 0},  // loses 0.5 %
      {"too few", {}, 99, {V::TooFew}, 0},
      {"ringing tube", {20, 0.5e-3, 0.05}, 4096, {V::Rings}, 0},
      // Past a few hundred CPM the counter's blindness takes a share of the 2 ms window:
      // the after-pulses are told against the intervals past it, at every rate.
      {"after-pulses at 3000 CPM",
       {3000, 0.5e-3, 0.1},
       4096,
       {V::Rings, V::ResolutionEatsPulses},
       0},
      {"after-pulses at 20000 CPM",
       {20000, 0.5e-3, 0.1},
       4096,
       {V::Rings, V::ResolutionEatsPulses},
       0},
      {"20000 CPM without", {20000, 0.5e-3}, 4096, {V::ResolutionEatsPulses}, 0},
      {"20000 CPM blind 1 ms", {20000, 1e-3}, 4096, {V::ResolutionEatsPulses}, 0},
      {"long resolution", {600, 5e-3}, 4096, {V::ResolutionEatsPulses}, 0},
      {"30000 CPM at the scan's 0.5 ms", {30000, 0.5e-3}, 4096, {V::ResolutionEatsPulses}, 0},
      {"50 Hz pickup", {20, 0.5e-3, 0, 50, 0.1}, 4096, {V::MainsPeaks}, 50},
      {"60 Hz pickup", {20, 0.5e-3, 0, 60, 0.1}, 4096, {V::MainsPeaks}, 60},
  };
  for (const auto& c : cases) {
    const auto intervals = intervalsOf(c.source, c.count, 11);
    const IntervalAnalysis a = analyseIntervals(intervals);
    EXPECT_EQ(a.verdicts, c.verdicts) << c.name;
    EXPECT_EQ(a.mainsHz, c.mainsHz) << c.name;
    EXPECT_DOUBLE_EQ(a.shortest, *std::min_element(intervals.begin(), intervals.end())) << c.name;
  }
}

TEST(AnalyseIntervals, HistogramOnALogAxisBesideThePoissonCurve) {
  const auto intervals = intervalsOf({}, 4096, 3);
  const IntervalAnalysis a = analyseIntervals(intervals);
  ASSERT_EQ(a.bins.size(), 7u * kBinsPerDecade);
  EXPECT_DOUBLE_EQ(a.bins.front().from, kFirstBin);
  EXPECT_NEAR(a.bins.back().to, kLastBin, 1e-9);
  int observed = 0;
  double expected = 0;
  for (size_t b = 0; b < a.bins.size(); ++b) {
    if (b > 0) {
      EXPECT_DOUBLE_EQ(a.bins[b].from, a.bins[b - 1].to);
    }
    observed += a.bins[b].observed;
    expected += a.bins[b].expected;
    // Each bin within five standard deviations of the exponential.
    EXPECT_NEAR(a.bins[b].observed, a.bins[b].expected, 5 * std::sqrt(a.bins[b].expected) + 2) << b;
  }
  EXPECT_EQ(observed, 4096);
  EXPECT_NEAR(expected, 4096, 1);
  EXPECT_NEAR(a.rate, 20.0 / 60, 0.02);
  EXPECT_TRUE(analyseIntervals({}).verdicts ==
              std::vector<IntervalVerdict>{IntervalVerdict::TooFew});
}

TEST(PulseIntervals, KeepsTheLastIntervalsOldestFirst) {
  PulseIntervals recorder(1000);
  recorder.addPulse(5);
  EXPECT_EQ(recorder.size(), 0u);
  recorder.addPulse(5);  // the same position again is no interval
  recorder.addPulse(15);
  recorder.addPulse(45);
  EXPECT_EQ(recorder.intervalsSeconds(), (std::vector<double>{0.010, 0.030}));
  for (int64_t k = 1; k <= static_cast<int64_t>(PulseIntervals::kKept); ++k)
    recorder.addPulse(45 + k * k);
  const auto kept = recorder.intervalsSeconds();
  ASSERT_EQ(kept.size(), PulseIntervals::kKept);
  EXPECT_DOUBLE_EQ(kept.front(), 0.001);  // 1² − 0²: the two first have gone
  EXPECT_DOUBLE_EQ(kept.back(), (2.0 * PulseIntervals::kKept - 1) / 1000);
  recorder.clear();
  recorder.addPulse(100000000);
  EXPECT_EQ(recorder.size(), 0u);
}

}  // namespace radmon
