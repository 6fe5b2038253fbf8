// Seeded starts of a simulated tube through the dose chain and the alarm stages, for the
// tests of the alarms on evidence and the bench that tells their figures.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "alarm_stages.h"
#include "dose_chain.h"
#include "fakes.h"
#include "reading_interval.h"

namespace radmon::testing {

// A tube of 108 CPM per μSv/h (sensitivity 18) against stage 1 at 0.27 μSv/h.
inline constexpr double kStartSensitivity = 18;
inline constexpr double kStage1CpmLimit = 0.27 * 108;

// `starts` starts of `seconds` each, of pulses at `cpm` true CPM (Poisson, each second
// on its own): the second stage 1 first sounded in each, 0 where it never did.
inline std::vector<int> stage1Delays(double cpm, bool onEvidence, int starts, int seconds,
                                     uint64_t seed) {
  std::mt19937_64 random(seed);
  std::poisson_distribution<int> second(cpm / 60);
  std::vector<int> delays;
  for (int start = 0; start < starts; ++start) {
    FakePanel panel;
    panel.ticks[Tick::alarm1] = true;
    panel.ticks[Tick::alarm2] = true;
    FakeSound sound;
    AlarmStages alarms(sound);
    alarms.setOnEvidence(onEvidence);
    DoseChain chain;
    int delay = 0;
    for (int64_t s = 1; s <= seconds && delay == 0; ++s) {
      const DoseResult dose = chain.step(s, second(random), kStartSensitivity, 0);
      if (alarms.check(dose, readingInterval95(chain, s, dose), panel) & 1)
        delay = static_cast<int>(s);
    }
    delays.push_back(delay);
  }
  return delays;
}

}  // namespace radmon::testing
