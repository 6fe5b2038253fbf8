// Whether a count is a true count, only a lower bound, or the count of a saturated tube,
// judged from the sound itself: how much of each second the scan spent inside pulses
// (armed), the longest stretch held below the threshold, and the resolving time the
// intervals between pulses show. A counter that loses pulses shows it there long before
// the counted rate does: a merging or paralysable counter's count stops rising, and then
// falls, as the rate rises, so the count alone never tells. Plain C++, no Qt.
//
//  - saturated: the scan was armed for kSaturatedBusy of a second or more, or held armed
//    for kSaturatedHeldSeconds at a stretch (the signal held down, merged pulses or a
//    level stuck below the threshold); it ends after kSaturationEndSeconds seconds in a
//    row armed for less than kSaturationEndBusy;
//  - lower bound: with the dead-time correction on, over the seconds behind the reading,
//    the share of time the counter was blind and the correction does not account for is
//    kUnmodelledLoss or more: the busy share beyond m·τ (pulses wider than τ, or
//    merging), or m times the resolving time the intervals show beyond τ when that time
//    is kLongerDeadTime times τ or more (a tube blind longer than its pulse:
//    paralysable). With the correction off the count is shown as counted and only a
//    saturated tube's reading is a lower bound. Any reading that rests on a saturated
//    second is one too.
#pragma once

#include <array>
#include <cstdint>

namespace radmon {

enum class CountKind : uint8_t { True, LowerBound, Saturated };

inline constexpr double kSaturatedBusy = 0.8;
inline constexpr double kSaturatedHeldSeconds = 0.5;
inline constexpr double kSaturationEndBusy = 0.5;
inline constexpr int kSaturationEndSeconds = 10;
inline constexpr double kUnmodelledLoss = 0.01;
inline constexpr double kLongerDeadTime = 1.2;

// One second as the scan heard it.
struct SecondHeard {
  int pulses = 0;
  int64_t samples = 0;
  int64_t armedSamples = 0;
  int64_t longestArmed = 0;  // the longest armed stretch, with its part in earlier seconds
};

// The share of time the counter was blind beyond what a correction with `tauSeconds`
// (0: none) accounts for, over `seconds` with `pulses` counted, armed for `busy` of the
// time, and a resolving time `seenSeconds` shown by the intervals (0: not known).
double unmodelledLoss(double pulses, double seconds, double busy, double tauSeconds,
                      double seenSeconds);

class TubeSaturation {
 public:
  static constexpr int kSlots = 60;  // the seconds behind a reading, as the dose chain's

  enum class Change : uint8_t { None, Began, Ended };

  // Second `elapsedSeconds` (1 for the first after start) with the correction's τ
  // (0: off) and the resolving time the intervals show (0: not known yet).
  Change observe(int64_t elapsedSeconds, const SecondHeard& heard, int sampleRate,
                 double tauSeconds, double seenSeconds);
  void clear();

  bool saturated() const { return saturated_; }
  // The kind of the latest second's count; the reading it ends is a lower bound unless
  // every second behind it counted true.
  CountKind lastKind() const { return lastKind_; }
  bool readingLowerBound() const { return readingLowerBound_; }
  double lastBusy() const { return lastBusy_; }        // armed share of the latest second
  double readingLoss() const { return readingLoss_; }  // unmodelledLoss of the reading

 private:
  struct Slot {
    int pulses = 0;
    int64_t samples = 0, armed = 0;
    bool saturated = false;
  };
  std::array<Slot, kSlots> slots_{};
  bool saturated_ = false;
  int calmRun_ = 0;
  CountKind lastKind_ = CountKind::True;
  bool readingLowerBound_ = false;
  double lastBusy_ = 0;
  double readingLoss_ = 0;
};

}  // namespace radmon
