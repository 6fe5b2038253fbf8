#include "reading_interval.h"

#include <algorithm>
#include <limits>

#include "dead_time.h"
#include "poisson_interval.h"

namespace radmon {

ReadingInterval readingInterval95(const DoseChain& chain, int64_t elapsedSeconds,
                                  const DoseResult& dose, double tauSeconds) {
  const auto& slots = chain.secondCounts();
  const int64_t seconds = std::clamp<int64_t>(elapsedSeconds, 0, DoseChain::kCountSlots);
  int64_t counts = 0;
  if (elapsedSeconds < DoseChain::kCountSlots) {
    for (int64_t k = 1; k <= elapsedSeconds; ++k) counts += slots[static_cast<size_t>(k)];
  } else {
    for (const int16_t c : slots) counts += c;
  }
  return readingInterval95(counts, seconds, dose.sensitivityFactor, dose.backgroundDose,
                           tauSeconds);
}

ReadingInterval readingInterval95(int64_t counts, int64_t seconds, float sensitivityFactor,
                                  float backgroundDose, double tauSeconds) {
  ReadingInterval r;
  r.counts = counts;
  r.seconds = seconds;
  if (seconds <= 0 || !(sensitivityFactor > 0)) return r;
  const CountInterval c = poissonInterval95(counts);
  // The bounds go through the same correction as the figure: it never falls as the count
  // rises, so the corrected bounds bound the corrected figure. Past the cap the
  // correction is only a lower bound, and so nothing bounds the rate from above.
  const double s = static_cast<double>(seconds);
  const double low = correctDeadTime(c.lower, s, tauSeconds).rate;
  const DeadTimeResult high = correctDeadTime(c.upper, s, tauSeconds);
  r.openAbove = high.capped;
  r.cpmLow = low * 60.0 / s;
  r.cpmHigh = r.openAbove ? std::numeric_limits<double>::infinity() : high.rate * 60.0 / s;
  r.doseLow = std::max(0.0, r.cpmLow / sensitivityFactor - backgroundDose);
  r.doseHigh = std::max(0.0, r.cpmHigh / sensitivityFactor - backgroundDose);
  return r;
}

void IntervalHistory::record(int64_t elapsedSeconds, const ReadingInterval& interval) {
  const auto slot = static_cast<size_t>(elapsedSeconds % DoseChain::kHistorySlots);
  low_[slot] = static_cast<float>(interval.doseLow);
  high_[slot] = static_cast<float>(interval.doseHigh);
}

}  // namespace radmon
