// Count rate and dose rate, once per second of sound: a sliding sum over the last 60
// one-second counts, turned into μSv/h with the tube's sensitivity and corrected for the
// background. All arithmetic is single precision; doses are cut to three decimals.
#pragma once

#include <array>
#include <cstdint>

namespace radmon {

struct DoseResult {
  int64_t cpm = 0;  // what the CPM box shows
  float sensitivityFactor = 0;
  float backgroundDose = 0;
  float grossDoseRate = 0;  // before the background correction: the alarms use it
  float netDoseRate = 0;    // after it, never negative: shown, recorded, drawn
  // Past the dead-time correction's cap: the CPM and doses are lower bounds, the larger
  // of the counted figure and the one at the cap.
  bool deadTimeCapped = false;
};

class DoseChain {
 public:
  static constexpr int kCountSlots = 60;
  static constexpr int kHistorySlots = 600;

  // One second: `pulses` found in the buffer of second `elapsedSeconds` (1 for the
  // first after start). `sensitivity` S in cps per mR/h (positive); `background` B in
  // CPM. Writes the count slot and the history slot of that second. With a resolving
  // time `deadTimeSeconds` > 0 the count behind the CPM is corrected for dead time
  // first (the count slots keep the counted pulses); 0 leaves every figure as counted.
  DoseResult step(int64_t elapsedSeconds, int pulses, double sensitivity, double background,
                  double deadTimeSeconds = 0);

  // `result` of second `elapsedSeconds` raised to at least `cpm` (its doses with it) and
  // marked as a lower bound, in the dose history too: a count known to fall short.
  DoseResult atLeast(int64_t elapsedSeconds, const DoseResult& result, double cpm);

  // Net dose rate of each of the last 600 seconds, slot = elapsed seconds mod 600.
  // Kept across stop and start.
  const std::array<float, kHistorySlots>& doseHistory() const { return doseHistory_; }
  const std::array<int16_t, kCountSlots>& secondCounts() const { return secondCounts_; }

 private:
  void finish(int64_t elapsedSeconds, DoseResult& r);  // net dose and history

  std::array<int16_t, kCountSlots> secondCounts_{};
  std::array<float, kHistorySlots> doseHistory_{};
};

}  // namespace radmon
