// The 95 % interval of the CPM and dose rate the window shows, from the pulses the
// figure rests on: the last minute's count (or the seconds so far in the first minute),
// optionally corrected for dead time as the figure itself is. It always contains the
// figure, also past the dead-time cap. Plain C++, no Qt.
#pragma once

#include <array>
#include <cstdint>

#include "dose_chain.h"

namespace radmon {

struct ReadingInterval {
  int64_t counts = 0;   // pulses behind the figure
  int64_t seconds = 0;  // over how many seconds
  double cpmLow = 0, cpmHigh = 0;
  double doseLow = 0, doseHigh = 0;  // net μSv/h, never below 0
  // The upper end lies past the dead-time cap, where no upper end is known: cpmHigh and
  // doseHigh are infinite.
  bool openAbove = false;
};

// The pulses behind the figure of second `elapsedSeconds` (1 for the first).
ReadingInterval readingInterval95(const DoseChain& chain, int64_t elapsedSeconds,
                                  const DoseResult& dose, double tauSeconds = 0);

// The same from the count itself.
ReadingInterval readingInterval95(int64_t counts, int64_t seconds, float sensitivityFactor,
                                  float backgroundDose, double tauSeconds = 0);

// The dose interval of each of the last 600 seconds, in the slots of the dose history
// (elapsed seconds mod 600), for the real-time graph's band.
class IntervalHistory {
 public:
  void record(int64_t elapsedSeconds, const ReadingInterval& interval);
  const std::array<float, DoseChain::kHistorySlots>& low() const { return low_; }
  const std::array<float, DoseChain::kHistorySlots>& high() const { return high_; }

 private:
  std::array<float, DoseChain::kHistorySlots> low_{};
  std::array<float, DoseChain::kHistorySlots> high_{};
};

}  // namespace radmon
