#include "resolving_time.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dead_time.h"
#include "pulse_intervals.h"
#include "pulse_scan.h"
#include "tube_simulator.h"

namespace radmon {
namespace {

constexpr int kRate = TubeSimulator::kSampleRate;

// `count` intervals of a non-paralysable counter blind for `tau` at a true rate `cpm`,
// with `strays` very short ones among them.
std::vector<double> counterIntervals(double cpm, double tau, size_t count, int strays = 0) {
  std::mt19937_64 rng(17);
  std::exponential_distribution<double> wait(cpm / 60);
  std::vector<double> intervals;
  for (size_t k = 0; k < count; ++k) intervals.push_back(tau + wait(rng));
  for (int k = 0; k < strays; ++k) intervals[k * 97] = 50e-6;
  return intervals;
}

TEST(EstimateResolvingTime, OfferedOnlyWhenTheShortIntervalsPinItDown) {
  const struct {
    double cpm;
    size_t count;
    int strays;
    bool enough;
  } cases[] = {
      {5000, 4096, 0, true},
      {5000, 4096, kEstimateOrder - 1, true},  // a few strays do not pull it down
      {5000, kFewestForEstimate - 1, 0, false},
      {5000, kFewestForEstimate, 0, true},
      {1000, 4096, 0, true},
      {300, 4096, 0, false},  // true, but not known to 50 µs
      {20, 4096, 0, false},
  };
  constexpr double kTau = 1.6e-3;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.cpm) + " CPM, " + std::to_string(c.count) + " intervals");
    const ResolvingTimeEstimate e =
        estimateResolvingTime(counterIntervals(c.cpm, kTau, c.count, c.strays));
    EXPECT_EQ(e.intervals, c.count);
    EXPECT_EQ(e.enough, c.enough) << e.standardError;
    if (e.enough) {
      EXPECT_NEAR(e.seconds, kTau, 3 * e.standardError + 10e-6);
    }
  }
  EXPECT_FALSE(estimateResolvingTime({}).enough);
  // A regular train (a pulse generator's) says nothing about τ.
  const ResolvingTimeEstimate regular = estimateResolvingTime(std::vector<double>(4096, 10e-3));
  EXPECT_FALSE(regular.enough);
  EXPECT_EQ(estimateResolvingTime({1, 1, 1, 1, 1}).seconds, 0);
}

// The simulated tube of each kind through the real scan at its default settings, as
// the station hears it: the estimate from the intervals, and the counts corrected with it.
TEST(EstimateResolvingTime, EveryTubeKindThroughTheScan) {
  const struct {
    TubeKind kind;
    double tauFrom, tauTo;              // where the estimate should lie, s
    double correctedFrom, correctedTo;  // corrected / true
  } cases[] = {
      // The scan's own: pairs 11 samples (0.499 ms) apart always count as two, 10 never.
      {TubeKind::Narrow, 0.45e-3, 0.52e-3, 0.99, 1.01},
      // Held below the threshold for about 1 ms: uncorrected 8 % low.
      {TubeKind::Wide, 0.95e-3, 1.15e-3, 0.97, 1.03},
      // The after-pulses sit past the scan's τ; they stay in the count, 10 % high.
      {TubeKind::AfterPulsing, 0.45e-3, 0.52e-3, 1.05, 1.15},
      // 1 ms paralysable: the non-paralysable correction is 0.3 % low here.
      {TubeKind::Paralysable, 0.95e-3, 1.05e-3, 0.98, 1.01},
  };
  constexpr int kSeconds = 60;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(tubeKindName(c.kind)));
    TubeProfile profile = TubeProfile::constant(5000);
    profile.kind = c.kind;
    TubeSimulator tube(profile, 5);
    PulseIntervals recorder(kRate);
    std::vector<uint8_t> buffer(kRate);
    std::vector<size_t> at;
    bool armed = false;
    int64_t counted = 0;
    for (int s = 0; s < kSeconds; ++s) {
      tube.fill(buffer.data(), buffer.size());
      at.clear();
      counted += scanPulses(buffer.data(), buffer.size(), ScanSettings{}, armed, at);
      for (const size_t a : at) recorder.addPulse(int64_t{s} * kRate + static_cast<int64_t>(a));
    }
    const ResolvingTimeEstimate e = estimateResolvingTime(recorder.intervalsSeconds());
    EXPECT_TRUE(e.enough) << e.standardError << " " << e.spread;
    EXPECT_GE(e.seconds, c.tauFrom);
    EXPECT_LE(e.seconds, c.tauTo);
    const double truth = static_cast<double>(tube.pulsesProduced());
    const double corrected =
        correctDeadTime(static_cast<double>(counted), kSeconds, e.seconds).rate / truth;
    EXPECT_GE(corrected, c.correctedFrom) << "uncorrected " << counted / truth;
    EXPECT_LE(corrected, c.correctedTo) << "uncorrected " << counted / truth;
  }
}

}  // namespace
}  // namespace radmon
