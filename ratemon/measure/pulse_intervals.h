// The intervals between the last few thousand counted pulses and what their shape says.
// A random (Poisson) source gives exponentially distributed intervals; a tube that rings
// adds very short ones, a resolution longer than needed cuts a hole below some interval,
// and pickup from the mains piles intervals up at multiples of its half period.
// Plain C++, no Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace radmon {

// The last `kKept` intervals, fed with the absolute sample position of every counted
// pulse. One recorder belongs to one thread.
class PulseIntervals {
 public:
  static constexpr size_t kKept = 4096;

  explicit PulseIntervals(int sampleRate);

  // A pulse completed at absolute sample `position` (never decreasing).
  void addPulse(int64_t position);
  // Forgets every interval and the last pulse, e.g. when the sound starts afresh.
  void clear();

  // Oldest first, in seconds.
  std::vector<double> intervalsSeconds() const;
  size_t size() const { return filled_; }

 private:
  int sampleRate_;
  std::vector<int64_t> ring_;
  size_t next_ = 0;
  size_t filled_ = 0;
  int64_t lastPulse_ = -1;
};

enum class IntervalVerdict {
  TooFew,                // not enough intervals to judge
  LooksRandom,           // nothing below applies
  Rings,                 // an excess of very short intervals
  ResolutionEatsPulses,  // a hole below the shortest interval that costs pulses
  MainsPeaks,            // intervals pile up at multiples of the mains half period
};

// One bin of the histogram on a logarithmic time axis.
struct IntervalBin {
  double from = 0, to = 0;  // seconds
  int observed = 0;
  double expected = 0;  // what a Poisson source of the same mean rate puts here
};

struct IntervalAnalysis {
  std::vector<IntervalBin> bins;  // kBinsPerDecade per decade from kFirstBin to kLastBin
  size_t intervals = 0;
  double rate = 0;        // pulses per second, from the mean interval
  double shortest = 0;    // seconds; also the longest the dead time can be
  double holeLoss = 0;    // share of a Poisson source's intervals below `shortest`
  int shortObserved = 0;  // intervals below kRingWindow
  double shortExpected = 0;
  int mainsHz = 0;                        // 50 or 60 when MainsPeaks
  std::vector<IntervalVerdict> verdicts;  // at least one
};

inline constexpr double kFirstBin = 1e-5;  // s
inline constexpr double kLastBin = 100.0;  // s
inline constexpr int kBinsPerDecade = 10;
inline constexpr double kRingWindow = 2e-3;  // s: after-pulses of a ringing tube
inline constexpr size_t kFewestIntervals = 100;

IntervalAnalysis analyseIntervals(const std::vector<double>& intervalsSeconds);

}  // namespace radmon
