#include "dose_chain.h"

#include <cmath>

#include <gtest/gtest.h>

namespace radmon {

TEST(DoseChain, FullMinuteIsThePlainSumCutToThreeDecimalsInSinglePrecision) {
  struct Row {
    double sensitivity;
    int pulses;  // one in each of the minute's first seconds
    double background;
    int64_t cpm;
    float backgroundDose, gross, net;
  };
  const Row rows[] = {
      {18, 54, 0, 54, 0.0f, 0.5f, 0.5f},
      // 42 / 120: 0.35 in single precision, 0.349 if cut in double.
      {20, 42, 0, 42, 0.0f, 0.35f, 0.35f},
      // 1 / 1200 = 0.00083, just below 0.001: cut, not rounded.
      {200, 1, 0, 1, 0.0f, 0.0f, 0.0f},
      // gross 33 / 108 = 0.305, background 11 / 108 = 0.101: 0.204 exactly as text.
      {18, 33, 11, 33, 0.101f, 0.305f, 0.204f},
      // A background above the rate: no net, the gross is kept for the alarms.
      {18, 20, 100, 20, 0.925f, 0.185f, 0.0f},
  };
  for (const Row& row : rows) {
    DoseChain chain;
    DoseResult r;
    for (int sec = 1; sec <= 60; ++sec)
      r = chain.step(sec, sec <= row.pulses ? 1 : 0, row.sensitivity, row.background);
    SCOPED_TRACE(testing::Message() << "S " << row.sensitivity << ", " << row.pulses << " CPM");
    // The graph draws the net rate.
    EXPECT_EQ(std::tuple(r.sensitivityFactor, r.cpm, r.backgroundDose, r.grossDoseRate,
                         r.netDoseRate, chain.doseHistory()[60]),
              std::tuple(static_cast<float>(row.sensitivity) / 10.0f * 60.0f, row.cpm,
                         row.backgroundDose, row.gross, row.net, row.net));
  }
}

TEST(DoseChain, FirstMinuteIsExtrapolatedFromTheUncutRateThenTheSumAtSixtySeconds) {
  DoseChain chain;
  DoseResult r;
  for (int sec = 1; sec <= 7; ++sec) r = chain.step(sec, sec <= 3 ? 1 : 0, 18, 0);
  const float cpm = 3.0f / 7.0f * 60.0f;  // 25.714...
  EXPECT_EQ(r.cpm, 25);
  EXPECT_FLOAT_EQ(r.grossDoseRate, std::floor(cpm / 108.0f * 1000.0f) / 1000.0f);
  EXPECT_FLOAT_EQ(r.grossDoseRate, 0.238f);  // from 25 it would be 0.231

  // It switches to the sum at sixty seconds: 2 pulses in each of the first 30, none after.
  DoseChain later;
  DoseResult at59, at60;
  for (int sec = 1; sec <= 60; ++sec) {
    const auto step = later.step(sec, sec <= 30 ? 2 : 0, 18, 0);
    if (sec == 59) at59 = step;
    if (sec == 60) at60 = step;
  }
  EXPECT_EQ(at59.cpm, 61);  // 60 / 59 × 60 = 61.01
  EXPECT_EQ(at60.cpm, 60);
}

TEST(DoseChain, RingsSurviveANewStart) {
  DoseChain chain;
  for (int sec = 1; sec <= 700; ++sec) chain.step(sec, 5, 18, 0);
  const float old = chain.doseHistory()[599];
  EXPECT_GT(old, 0.0f);
  // A new run: the first second overwrites slot 1 only.
  chain.step(1, 0, 18, 0);
  EXPECT_EQ(chain.doseHistory()[599], old);
  EXPECT_EQ(chain.secondCounts()[2], 5);
  // The first-minute rule reads only the slots written since start.
  const auto r = chain.step(2, 0, 18, 0);
  EXPECT_EQ(r.cpm, 0);
}

// With a resolving time the CPM and both doses rest on the corrected count; without
// one (0) every figure is the counted one, to the bit.
TEST(DoseChain, DeadTimeCorrectionAndItsCap) {
  const struct {
    double tau;
    int perSecond;
    int64_t cpm;
    bool capped;
    float gross;
  } rows[] = {
      {0, 400, 24000, false, 222.222f},
      {0.5e-3, 400, 30000, false, 277.777f},  // 24000 / (1 − 400 · 0.0005)
      {0.5e-3, 600, 51428, true, 476.19f},    // mτ = 0.3: the rate at the cap, 51428.57
      {0.5e-3, 1000, 60000, true, 555.555f},  // beyond: never below the counted figure
      {0.5e-3, 0, 0, false, 0.0f},
  };
  for (const auto& row : rows) {
    DoseChain chain;
    DoseResult r;
    for (int sec = 1; sec <= 60; ++sec) r = chain.step(sec, row.perSecond, 18, 0, row.tau);
    EXPECT_EQ(r.cpm, row.cpm) << row.tau << " " << row.perSecond;
    EXPECT_EQ(r.deadTimeCapped, row.capped) << row.perSecond;
    EXPECT_NEAR(r.grossDoseRate, row.gross, 2e-4) << row.perSecond;
    EXPECT_EQ(chain.secondCounts()[5], row.perSecond);  // the slots keep what was counted
  }
  // In the first minute the seconds so far are corrected the same way.
  DoseChain chain;
  DoseResult r;
  for (int sec = 1; sec <= 10; ++sec) r = chain.step(sec, 400, 18, 0, 0.5e-3);
  EXPECT_EQ(r.cpm, 30000);
}

}  // namespace radmon
