#include "tube_saturation.h"

#include <algorithm>

namespace radmon {

double unmodelledLoss(double pulses, double seconds, double busy, double tau, double seen) {
  if (!(seconds > 0)) return 0;
  const double m = std::max(pulses, 0.0) / seconds;
  const double modelled = tau > 0 ? m * tau : 0;
  // A tube blind longer than its pulse shows it only in the intervals; the scan's own
  // hold-off varies a little from pulse to pulse, so only a clearly longer time counts.
  const double hidden = seen > 0 && (!(tau > 0) || seen >= kLongerDeadTime * tau) ? m * seen : 0;
  return std::max(0.0, std::max(busy, hidden) - modelled);
}

TubeSaturation::Change TubeSaturation::observe(int64_t elapsed, const SecondHeard& heard,
                                               int sampleRate, double tau, double seen) {
  const double samples = static_cast<double>(std::max<int64_t>(heard.samples, 1));
  lastBusy_ = static_cast<double>(heard.armedSamples) / samples;
  const bool heldDown =
      static_cast<double>(heard.longestArmed) >= kSaturatedHeldSeconds * sampleRate;
  const bool saturatedNow = lastBusy_ >= kSaturatedBusy || heldDown;

  // The count collapsing after seconds in which the counter was mostly blind.
  const double blind =
      std::max(lastBusy_, seen > 0 ? heard.pulses / (samples / sampleRate) * seen : 0.0);
  bool collapsing = false;
  if (recent_.size() == static_cast<size_t>(kCollapseLookSeconds) && !heard.faulty) {
    double pulses = 0, blindSum = 0;
    bool faulty = false;
    for (const Recent& r : recent_) pulses += r.pulses, blindSum += r.blind, faulty |= r.faulty;
    collapsing = !faulty && blindSum / kCollapseLookSeconds >= kCollapseBlind &&
                 heard.pulses < kCollapseShare * pulses / kCollapseLookSeconds;
  }
  recent_.push_back({heard.pulses, blind, heard.faulty});
  if (recent_.size() > static_cast<size_t>(kCollapseLookSeconds)) recent_.pop_front();

  Change change = Change::None;
  if (saturatedNow || collapsing) {
    calmRun_ = 0;
    if (!saturated_) saturated_ = true, change = Change::Began;
    collapsed_ = !saturatedNow && (collapsed_ || collapsing);
  } else if (saturated_ && !collapsed_) {
    calmRun_ = lastBusy_ < kSaturationEndBusy ? calmRun_ + 1 : 0;
    if (calmRun_ >= kSaturationEndSeconds) saturated_ = false, calmRun_ = 0, change = Change::Ended;
  }

  slots_[static_cast<size_t>(elapsed % kSlots)] = {heard.pulses, heard.samples, heard.armedSamples,
                                                   saturatedNow};
  // The same seconds as the dose chain's reading: those so far in the first minute.
  double pulses = 0, armed = 0, heardSamples = 0;
  bool anySaturated = false;
  const int64_t seconds = std::min<int64_t>(elapsed, kSlots);
  for (int64_t k = 0; k < seconds; ++k) {
    const Slot& s = slots_[static_cast<size_t>((elapsed - k) % kSlots)];
    pulses += s.pulses;
    armed += static_cast<double>(s.armed);
    heardSamples += static_cast<double>(s.samples);
    anySaturated = anySaturated || s.saturated;
  }
  const double busy = heardSamples > 0 ? armed / heardSamples : 0;
  const double time = heardSamples / sampleRate;
  readingLoss_ = unmodelledLoss(pulses, time, busy, tau, seen);
  // Without the correction the count is shown as counted, and only a saturated tube's is
  // marked: loud noise that keeps the scan busy is the signal watch's to tell.
  readingLowerBound_ = saturated_ || anySaturated || (tau > 0 && readingLoss_ >= kUnmodelledLoss);
  lastKind_ = saturated_ ? CountKind::Saturated
                         : (readingLowerBound_ ? CountKind::LowerBound : CountKind::True);
  return change;
}

void TubeSaturation::clear() { *this = TubeSaturation(); }

TubeSaturation::Change TubeSaturation::release() {
  if (!collapsed_) return Change::None;
  saturated_ = collapsed_ = false;
  // The operator has heard the alarm and judged: from the next second the count is taken
  // as it comes again.
  return Change::Ended;
}

}  // namespace radmon
