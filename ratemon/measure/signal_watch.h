// The signal watch: looks at every second the station hears, beside the pulse scan, for
// signs that the sound is not a working tube's, so that no fault passes as a reading:
//  - no signal: the sound is flat (every sample alike: a dead or muted input, a level
//    stuck anywhere), or no pulse has come for so long that the tube's expected
//    background makes it improbable (below 1 in a million);
//  - hum: per-second counts far steadier than a Poisson source gives (pulses at a mains
//    rhythm, or any other regular interference), at a rate of several a second;
//  - clipping: a fifth or more of the samples at the top of the range (the rest level
//    pressed against it), or broadband noise, second after second: loud noise that
//    reaches both ends, or any that jumps far between samples and rises as far above the
//    rest level as it falls below it (a tube's sound only dips past the threshold; what
//    rises above rest is its small overshoot or ringing);
//  - interference: counted pulses that keep a phase on the mains cycle (50 or 60 Hz,
//    or twice that), whatever share of the count they are: hum that crosses the
//    threshold, mains-locked spikes beside real pulses;
//  - after-pulses: more intervals under 2 ms than a Poisson source with the counter's
//    dead time gives.
// Each fault is told when it begins and when it ends; radiation alarms are no business
// of the watch. The thresholds and their false-event rates are in docs/sound-path.md.
//
// The background is learnt from blocks of ten heard minutes without a fault (the
// seconds at fault are left out); the
// lowest block of the last six hours, less three standard deviations, is taken, so a
// background that has just fallen back from a raised level never makes an ordinary
// gap look improbable. Before the first block, the heard stretch so far stands in for
// it, and half of what the station kept from earlier runs; it is never taken below
// what the sensitivity gives at the lowest natural dose rate.
//
// Threading: none of its own; the recording cycle's thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace radmon {

enum class SignalFault : uint8_t { NoSignal, Hum, Clipping, Interference, AfterPulses };
inline constexpr size_t kSignalFaults = 5;

// A fault that began or ended, with the figures its message needs.
struct SignalChange {
  SignalFault fault = SignalFault::NoSignal;
  bool began = true;
  bool flat = false;               // NoSignal: the sound was flat (else: no pulses)
  int seconds = 0;                 // how long the fault had lasted when told
  double backgroundPerMinute = 0;  // NoSignal without pulses: the background it assumed
  double pulsesPerSecond = 0;      // Hum: the steady rate; Interference: the locked rate
  int mainsHz = 0;                 // Interference: 50 or 60
  bool noise = false;              // Clipping: broadband noise, not a square wave
  double shortShare = 0;           // AfterPulses: intervals under 2 ms, per counted pulse
};

class SignalWatch {
 public:
  static constexpr int kFlatSeconds = 10;
  static constexpr double kImprobable = 1e-6;
  static constexpr int kMinSilentSeconds = 60;
  static constexpr int kBlockSeconds = 600;
  static constexpr size_t kBlocksKept = 36;
  static constexpr int kFirstGuessSeconds = 60;    // heard before the stretch stands in
  static constexpr double kLowestDoseRate = 0.02;  // μSv/h, below any natural background
  static constexpr double kKeptShare = 0.5;        // of the kept background: the place may change
  static constexpr int kHumWindow = 30;
  static constexpr double kHumMinPerSecond = 2.0;
  static constexpr double kHumDispersion = 0.05;  // variance / mean below this is hum
  static constexpr double kHumEndDispersion = 0.3;
  static constexpr double kClipShare = 0.2;
  static constexpr double kNoiseShare = 0.01;     // noise: of the samples at the ends
  static constexpr double kNoiseEachEnd = 0.002;  // at least this at each end
  static constexpr double kNoiseStep = 24;        // mean step between samples, at least
  static constexpr int kClipSeconds = 10;
  // Broadband noise that need not reach the ends: judged on seconds whose mean step is
  // kNoiseBroadStep or more, from the rest level (the median of the samples at or above
  // the arming level) and the distance D from it down to that level. The second is noise
  // when at least kNoiseRiseMin samples, and kNoiseRiseShare of the number below the
  // arming level, lie kNoiseMirror x D or more above rest. Not judged when fewer than
  // kNoiseRestShare of the samples are above the arming level (a tube held down) or D is
  // under kNoiseMinDepth.
  // Nor when the mean step is under kNoiseWhite times the mean distance from rest (white
  // noise's is about 1.4; ringing, even of pulses piled on one another, under 0.8).
  static constexpr double kNoiseBroadStep = 8;
  static constexpr double kNoiseWhite = 1.0;
  static constexpr double kNoiseMirror = 0.75;
  static constexpr int kNoiseRiseMin = 8;
  static constexpr double kNoiseRiseShare = 0.25;
  static constexpr double kNoiseRestShare = 0.25;
  static constexpr int kNoiseMinDepth = 16;
  static constexpr int kNoiseSeconds = 6;  // noise in a row told as clipping
  static constexpr int kClearSeconds = 5;  // seconds without clipping that end it
  // Mains lock and after-pulses are judged on blocks of heard seconds.
  static constexpr int kLookSeconds = 10;
  static constexpr size_t kLockLooks = 30;     // the lock's window: five minutes
  static constexpr size_t kLockEndLooks = 6;   // its end: the last minute free of it
  static constexpr double kLockFalse = 1e-10;  // per look, all four phases together
  static constexpr double kLockEndP = 1e-3;
  static constexpr size_t kAfterLooks = 360;  // the after-pulses' window: an hour
  static constexpr size_t kAfterEndLooks = 60;
  static constexpr int kAfterEvery = 6;         // judged on every sixth look
  static constexpr double kAfterFalse = 1e-10;  // per look
  static constexpr double kAfterEndP = 1e-2;
  static constexpr double kShortInterval = 2e-3;  // s
  static constexpr double kAfterBusiest = 0.05;   // rate x 2 ms above this: not judged
  static constexpr int kSampleRate = 22050;

  SignalWatch();

  // One second of sound (8-bit unsigned) and the pulses the scan found in it; the
  // faults that began or ended with it. Without the pulses' places, the mains lock and
  // after-pulses are not judged on this second.
  std::vector<SignalChange> observe(const uint8_t* samples, size_t count, int pulses);
  // The same with the index of the sample that completed each pulse (ascending).
  // `heldDown`: the sound is a saturated tube's, held below the threshold, whose silence
  // or flat level is no fault of the input: no-signal is not judged (and ends).
  std::vector<SignalChange> observe(const uint8_t* samples, size_t count,
                                    const std::vector<size_t>& pulseEnds, bool heldDown = false);
  // A second of `count` samples known only by its pulses, taken as neither flat nor
  // clipped: for long runs at the count level.
  std::vector<SignalChange> observeCounts(size_t count, const std::vector<size_t>& pulseEnds);
  // The sound stopped coming (the input was lost): the running stretches start again
  // when it returns; faults already told stay until the sound shows they have ended.
  void soundMissing();

  // The scan's arming level (a sample below it starts a pulse): noise matters as far as
  // it reaches it. 47 (threshold 50, dead band 3) until set.
  void setArmingLevel(int low) { low_ = low; }

  // The tube's sensitivity (cps per mR/h): its background at the lowest natural dose
  // rate is the least the improbable-silence test assumes. 0 for none.
  void setSensitivity(double cpsPerMilliroentgen);
  // The background the station learnt in earlier runs (pulses per second, 0 for none);
  // a share of it is assumed from the first second.
  void setKeptBackground(double perSecond) { kept_ = perSecond; }
  // What this run has learnt, to keep for the next: 0 until a whole block is heard.
  double learntBackground() const;

  bool active(SignalFault fault) const { return active_[static_cast<size_t>(fault)]; }
  bool anyActive() const;
  // No signal told from an improbable silence over a live input (not a flat line): a
  // dead cable, or a tube paralysed past giving pulses; the sound cannot tell which.
  bool improbableSilence() const { return active(SignalFault::NoSignal) && !noSignalFlat_; }
  // Pulses per second of the background the improbable-silence test uses; 0 while
  // nothing is known.
  double assumedBackground() const;
  // Seconds without a pulse after which silence is improbable; 0 while not learnt.
  int silentSecondsLimit() const;

  // Upper tail of the Poisson distribution, P(X >= k) for mean `mean`; and the
  // threshold the sum of `looks` Rayleigh statistics must pass for probability `p`.
  static double poissonAtLeast(double mean, int64_t k);
  static double gammaAbove(int looks, double x);

 private:
  struct Look {                          // one block of kLookSeconds heard seconds
    std::array<double, 4> cos{}, sin{};  // 50 Hz, 100 Hz, 60 Hz, 120 Hz
    int64_t pulses = 0;
    int64_t intervals = 0, shortIntervals = 0;
    double intervalSeconds = 0;
    double shortest = 1e9;
    bool faulty = false;
  };

  struct Heard {
    bool flat = false, clipped = false, noise = false;
  };
  Heard hear(const uint8_t* samples, size_t count);
  // Whether the second is white noise; `atEnds`: it reaches the ends of the range as loud
  // noise does, and only its whiteness is judged.
  bool broadband(const uint8_t* samples, size_t count, double meanStep, bool atEnds) const;
  std::vector<SignalChange> judge(bool flat, bool clipped, bool noise, int pulses,
                                  const std::vector<size_t>* pulseEnds, size_t count,
                                  bool heldDown = false);
  void learn(int pulses);
  void place(const std::vector<size_t>& pulseEnds, size_t count);
  void endLook(std::vector<SignalChange>& changes);
  void judgeLock(std::vector<SignalChange>& changes);
  void judgeAfterPulses(std::vector<SignalChange>& changes);
  bool& flag(SignalFault fault) { return active_[static_cast<size_t>(fault)]; }

  bool active_[kSignalFaults] = {};
  bool noSignalFlat_ = false;
  bool clipNoise_ = false;
  int flatRun_ = 0;
  int silentRun_ = 0;
  int clipRun_ = 0;
  int noiseRun_ = 0;
  int low_ = 47;
  int clearRun_ = 0;
  std::deque<int> recent_;  // per-second counts for the hum test
  int64_t recentSum_ = 0, recentSquares_ = 0;
  int64_t blockPulses_ = 0;
  int blockSeconds_ = 0;
  std::deque<int64_t> blocks_;  // pulses of the last complete blocks
  double floor_ = 0;            // pulses per second, from the sensitivity
  double kept_ = 0;

  // Mains lock and intervals.
  std::vector<double> cos441_, sin441_, cos735_, sin735_;  // one 50 Hz, two 60 Hz periods
  int64_t position_ = 0;    // samples heard since the sound last started
  int64_t lastPulse_ = -1;  // its place, for the intervals
  Look look_;
  int lookSeconds_ = 0;
  bool lookWhole_ = true;    // every second of it had the pulses' places
  bool lookFaulty_ = false;  // another fault was on in it: no after-pulse evidence
  std::deque<Look> looks_;   // oldest first, up to kAfterLooks
  size_t lockLooks_ = 0;     // of them, since the lock last ended (at most kLockLooks)
  size_t afterLooks_ = 0;    // since the after-pulses last ended
  int afterTurn_ = 0;
  double lockedRate_ = 0;
  int lockedHz_ = 0;
};

}  // namespace radmon
