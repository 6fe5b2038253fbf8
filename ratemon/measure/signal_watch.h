// The signal watch: looks at every second the station hears, beside the pulse scan, for
// signs that the sound is not a working tube's, so that no fault passes as a reading:
//  - no signal: the sound is flat (every sample alike: a dead or muted input, a level
//    stuck anywhere), or no pulse has come for so long that the station's own recent
//    background makes it improbable (below 1 in a million);
//  - hum: per-second counts far steadier than a Poisson source gives (pulses at a mains
//    rhythm, or any other regular interference), at a rate of several a second;
//  - clipping: a fifth or more of the samples at the ends of the range, second after
//    second.
// Each fault is told when it begins and when it ends; radiation alarms are no business
// of the watch.
//
// The background is learnt from blocks of ten heard minutes without a fault; the
// lowest block of the last six hours, less three standard deviations, is taken, so a
// background that has just fallen back from a raised level never makes an ordinary
// gap look improbable.
//
// Threading: none of its own; the recording cycle's thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace radmon {

enum class SignalFault : uint8_t { NoSignal, Hum, Clipping };

// A fault that began or ended, with the figures its message needs.
struct SignalChange {
  SignalFault fault = SignalFault::NoSignal;
  bool began = true;
  bool flat = false;               // NoSignal: the sound was flat (else: no pulses)
  int seconds = 0;                 // how long the fault had lasted when told
  double backgroundPerMinute = 0;  // NoSignal without pulses: the background it assumed
  double pulsesPerSecond = 0;      // Hum: the steady rate
};

class SignalWatch {
 public:
  static constexpr int kFlatSeconds = 10;
  static constexpr double kImprobable = 1e-6;
  static constexpr int kMinSilentSeconds = 60;
  static constexpr int kBlockSeconds = 600;
  static constexpr size_t kBlocksKept = 36;
  static constexpr int kHumWindow = 30;
  static constexpr double kHumMinPerSecond = 2.0;
  static constexpr double kHumDispersion = 0.05;  // variance / mean below this is hum
  static constexpr double kHumEndDispersion = 0.3;
  static constexpr double kClipShare = 0.2;
  static constexpr int kClipSeconds = 10;
  static constexpr int kClearSeconds = 5;  // seconds without clipping that end it

  // One second of sound (8-bit unsigned) and the pulses the scan found in it; the
  // faults that began or ended with it.
  std::vector<SignalChange> observe(const uint8_t* samples, size_t count, int pulses);
  // The sound stopped coming (the input was lost): the running stretches start again
  // when it returns; faults already told stay until the sound shows they have ended.
  void soundMissing();

  bool active(SignalFault fault) const { return active_[static_cast<size_t>(fault)]; }
  bool anyActive() const { return active_[0] || active_[1] || active_[2]; }
  // Pulses per second of the background the improbable-silence test uses; 0 while
  // not yet learnt.
  double assumedBackground() const;
  // Seconds without a pulse after which silence is improbable; 0 while not learnt.
  int silentSecondsLimit() const;

 private:
  void learn(int pulses);
  bool& flag(SignalFault fault) { return active_[static_cast<size_t>(fault)]; }

  bool active_[3] = {false, false, false};
  bool noSignalFlat_ = false;
  int flatRun_ = 0;
  int silentRun_ = 0;
  int clipRun_ = 0;
  int clearRun_ = 0;
  std::deque<int> recent_;  // per-second counts for the hum test
  int64_t blockPulses_ = 0;
  int blockSeconds_ = 0;
  std::deque<int64_t> blocks_;  // pulses of the last complete blocks
};

}  // namespace radmon
