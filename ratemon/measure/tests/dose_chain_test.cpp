#include "dose_chain.h"

#include <cmath>

#include <gtest/gtest.h>

namespace radmon {

TEST(DoseChain, FullMinuteIsThePlainSum) {
  DoseChain chain;
  DoseResult r;
  for (int sec = 1; sec <= 60; ++sec) r = chain.step(sec, sec <= 54 ? 1 : 0, 18, 0);
  EXPECT_FLOAT_EQ(r.sensitivityFactor, 108.0f);
  EXPECT_EQ(r.cpm, 54);
  EXPECT_FLOAT_EQ(r.grossDoseRate, 0.5f);
  EXPECT_FLOAT_EQ(r.netDoseRate, 0.5f);
}

TEST(DoseChain, FirstMinuteIsExtrapolatedFromTheUncutRate) {
  DoseChain chain;
  DoseResult r;
  for (int sec = 1; sec <= 7; ++sec) r = chain.step(sec, sec <= 3 ? 1 : 0, 18, 0);
  const float cpm = 3.0f / 7.0f * 60.0f;  // 25.714...
  EXPECT_EQ(r.cpm, 25);
  EXPECT_FLOAT_EQ(r.grossDoseRate, std::floor(cpm / 108.0f * 1000.0f) / 1000.0f);
  EXPECT_FLOAT_EQ(r.grossDoseRate, 0.238f);  // from 25 it would be 0.231
}

TEST(DoseChain, SwitchesToTheSumAtSixtySeconds) {
  DoseChain chain;
  // 2 pulses in each of the first 30 seconds, none after.
  DoseResult at59, at60;
  for (int sec = 1; sec <= 60; ++sec) {
    auto r = chain.step(sec, sec <= 30 ? 2 : 0, 18, 0);
    if (sec == 59) at59 = r;
    if (sec == 60) at60 = r;
  }
  EXPECT_EQ(at59.cpm, 61);  // 60 / 59 × 60 = 61.01
  EXPECT_EQ(at60.cpm, 60);
}

TEST(DoseChain, BackgroundAboveTheRateGivesZeroNetButKeepsGross) {
  DoseChain chain;
  DoseResult r;
  for (int sec = 1; sec <= 60; ++sec) r = chain.step(sec, sec <= 20 ? 1 : 0, 18, 100);
  EXPECT_FLOAT_EQ(r.backgroundDose, 0.925f);  // 100 / 108 = 0.9259 cut
  EXPECT_FLOAT_EQ(r.grossDoseRate, 0.185f);   // 20 / 108 = 0.1851 cut
  EXPECT_EQ(r.netDoseRate, 0.0f);
}

TEST(DoseChain, DosesAreCutNotRounded) {
  DoseChain chain;
  DoseResult r;
  // 1 count a minute with S = 18: 1 / 108 = 0.00925 → 0.009; with S = 200: 1 / 1200
  // = 0.00083, just below 0.001 → 0.
  for (int sec = 1; sec <= 60; ++sec) r = chain.step(sec, sec == 1 ? 1 : 0, 200, 0);
  EXPECT_EQ(r.grossDoseRate, 0.0f);
  EXPECT_EQ(r.netDoseRate, 0.0f);
}

TEST(DoseChain, NetHasNoFloatNoise) {
  DoseChain chain;
  DoseResult r;
  for (int sec = 1; sec <= 60; ++sec) r = chain.step(sec, sec <= 33 ? 1 : 0, 18, 11);
  // gross 33 / 108 = 0.305, background 11 / 108 = 0.101: 0.204 exactly as text.
  EXPECT_EQ(r.netDoseRate, 0.204f);
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

}  // namespace radmon
