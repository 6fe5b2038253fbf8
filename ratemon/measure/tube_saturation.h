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
//    row armed for less than kSaturationEndBusy. Also saturated: a count that collapses
//    (a second's count under kCollapseShare of the mean of the kCollapseLookSeconds
//    before it) from a counter blind for kCollapseBlind of the time or more in those
//    seconds (busy, or m times the resolving time), with no fault of the sound path in
//    them: past its maximum a paralysable tube
//    counts less the higher the rate, down to silence. Nothing in the silence tells the
//    rate fell rather than rose, so that lasts until the operator silences stage 2;
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
#include <deque>

namespace radmon {

enum class CountKind : uint8_t { True, LowerBound, Saturated };

inline constexpr double kSaturatedBusy = 0.8;
inline constexpr double kSaturatedHeldSeconds = 0.5;
inline constexpr double kSaturationEndBusy = 0.5;
inline constexpr int kSaturationEndSeconds = 10;
inline constexpr double kUnmodelledLoss = 0.01;
inline constexpr double kLongerDeadTime = 1.2;
inline constexpr int kCollapseLookSeconds = 10;
inline constexpr double kCollapseBlind = 0.25;
inline constexpr double kCollapseShare = 0.25;

// One second as the scan heard it.
struct SecondHeard {
  int pulses = 0;
  int64_t samples = 0;
  int64_t armedSamples = 0;
  int64_t longestArmed = 0;  // the longest armed stretch, with its part in earlier seconds
  // A fault of the sound path was on (clipping, hum, mains interference): the count is
  // not a tube's, and its end is no collapse.
  bool faulty = false;
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
  // Stage 2 was silenced: a collapse is taken as over (Ended), a tube held down is not.
  Change release();

  bool saturated() const { return saturated_; }
  // Saturated with the signal held below the threshold (not a collapse into silence).
  bool heldDown() const { return saturated_ && !collapsed_; }
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
  bool collapsed_ = false;
  int calmRun_ = 0;
  struct Recent {
    int pulses = 0;
    double blind = 0;
    bool faulty = false;
  };
  std::deque<Recent> recent_;  // latest last
  CountKind lastKind_ = CountKind::True;
  bool readingLowerBound_ = false;
  double lastBusy_ = 0;
  double readingLoss_ = 0;
};

}  // namespace radmon
