#include "dose_chain.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "dead_time.h"
#include "number_text.h"

namespace radmon {
namespace {

// Int(x × 1000) ÷ 1000 in single precision: cut, not rounded, to three decimals.
float cut3(float x) { return std::floor(x * 1000.0f) / 1000.0f; }

}  // namespace

DoseResult DoseChain::step(int64_t elapsed, int pulses, double sensitivity, double background,
                           double deadTime) {
  DoseResult r;
  const float s = static_cast<float>(sensitivity);
  r.sensitivityFactor = (s / 10.0f) * 60.0f;
  const float b = static_cast<float>(background);
  r.backgroundDose = b != 0.0f ? cut3(b / r.sensitivityFactor) : 0.0f;

  // A buffer holds at most 22050 samples, so a second's count fits 16 bits; clamp for
  // safety against odd sources.
  secondCounts_[elapsed % kCountSlots] = static_cast<int16_t>(
      std::clamp(pulses, 0, static_cast<int>(std::numeric_limits<int16_t>::max())));

  if (elapsed < kCountSlots) {
    // First minute: the average so far, scaled to a minute.
    int32_t sum = 0;
    for (int64_t k = 1; k <= elapsed; ++k) sum += secondCounts_[k];
    float cpm = static_cast<float>(sum) / static_cast<float>(elapsed) * 60.0f;
    if (deadTime > 0) {
      const DeadTimeResult corrected = correctDeadTime(sum, static_cast<double>(elapsed), deadTime);
      cpm = static_cast<float>(corrected.rate / static_cast<double>(elapsed) * 60.0);
      r.deadTimeCapped = corrected.capped;
    }
    r.cpm = static_cast<int64_t>(std::floor(cpm));
    r.grossDoseRate = cut3(cpm / r.sensitivityFactor);
  } else {
    int32_t sum = 0;
    for (int16_t c : secondCounts_) sum += c;
    if (deadTime > 0) {
      const DeadTimeResult corrected = correctDeadTime(sum, kCountSlots, deadTime);
      const auto cpm = static_cast<float>(corrected.rate);
      r.cpm = static_cast<int64_t>(std::floor(cpm));
      r.grossDoseRate = cut3(cpm / r.sensitivityFactor);
      r.deadTimeCapped = corrected.capped;
    } else {
      r.cpm = sum;
      r.grossDoseRate = cut3(static_cast<float>(sum) / r.sensitivityFactor);
    }
  }

  finish(elapsed, r);
  return r;
}

DoseResult DoseChain::atLeast(int64_t elapsed, const DoseResult& result, double cpm) {
  DoseResult r = result;
  r.deadTimeCapped = true;
  const auto floor = static_cast<int64_t>(std::floor(cpm));
  if (!(r.sensitivityFactor > 0) || r.cpm >= floor) return r;
  r.cpm = floor;
  r.grossDoseRate = cut3(static_cast<float>(floor) / r.sensitivityFactor);
  finish(elapsed, r);
  return r;
}

void DoseChain::finish(int64_t elapsed, DoseResult& r) {
  float net = r.grossDoseRate - r.backgroundDose;
  if (!(net > 0.0f)) net = 0.0f;
  // Through "#0.000" and back: both operands have three decimals, this drops the noise.
  const auto rounded = readNumber(fixed3Text(net));
  r.netDoseRate = rounded ? static_cast<float>(*rounded) : net;
  doseHistory_[elapsed % kHistorySlots] = r.netDoseRate;
}

}  // namespace radmon
