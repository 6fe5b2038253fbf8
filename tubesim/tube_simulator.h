// A simulated GM tube as a sound card hears it: unsigned 8-bit mono samples at
// 22050 samples/s resting near 128 with a little Gaussian noise, and for every tube
// discharge a sharp dip followed by a recovery and a small overshoot, as the output of
// an AC-coupled counter looks. Used by tests, benchmarks, the gmsim tool and the
// simulated audio input.
//
// The sound is a pure function of the seed, the arrivals and the absolute sample
// position: the same seed gives the same bytes however the fills are chunked. One
// simulator belongs to one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "tube_profile.h"

namespace radmon {

class TubeSimulator {
 public:
  static constexpr int kSampleRate = 22050;
  static constexpr int kRest = 128;
  // Noise stays within kRest +- kNoiseLimit, far from the pulse thresholds near 50.
  static constexpr int kNoiseLimit = 10;

  // How a discharge looks: narrow (about 100 us), wide (held far below rest for about
  // 1 ms, as a slow counter circuit gives), ringing (narrow, then a damped swing).
  enum class Shape { Narrow, Wide, Ringing };

  // The after-pulse share and the blind time of the kinds that have them.
  static constexpr double kAfterPulseShare = 0.1;
  static constexpr int kParalysableSamples = 22;  // 0.998 ms

  // Poisson arrivals following `profile`, sounding as its kind; sample 0 lies at
  // `startSecondOfDay`.
  TubeSimulator(const TubeProfile& profile, uint64_t seed, int startSecondOfDay = 0);
  // Pulses starting exactly at the given sample positions (any order), on the noise
  // of `seed`; for measuring how the scan resolves known pulse trains.
  static TubeSimulator scripted(std::vector<int64_t> pulseStarts, uint64_t seed);

  // Writes the next `n` samples to `out`; returns the number of discharges that start
  // in them (the true count: after-pulses left out, a paralysed tube's unheard
  // discharges included). A pulse that starts near the end continues into the next fill.
  int64_t fill(uint8_t* out, size_t n);

  int64_t samplesProduced() const { return produced_; }
  int64_t pulsesProduced() const { return pulses_; }

  // When kept, the sample position of every discharge is recorded (for checking
  // the count against the truth); off by default to keep long runs lean.
  void keepPulseStarts(bool keep) { keepStarts_ = keep; }
  const std::vector<int64_t>& pulseStarts() const { return starts_; }

  // The pulse as deviation from rest, sample by sample from its start.
  static const std::vector<int>& pulseShape(Shape shape = Shape::Narrow);
  void setShape(Shape shape) { shape_ = &pulseShape(shape); }
  // A share of the discharges is followed by an after-pulse 0.5 to 1.5 ms later (a
  // tube that rings); 0 (the default) for none.
  void setAfterPulses(double share) { afterShare_ = share; }
  // A paralysable tube: no pulse for a discharge less than `samples` after the one
  // before it, heard or not; 0 (the default) for none.
  void setParalysis(int64_t samples) { paralysis_ = samples; }

 private:
  TubeSimulator(uint64_t seed);
  int64_t drawArrival();
  uint64_t nextRandom();
  double uniform();  // in (0, 1]
  size_t noiseOffset(int64_t block) const;
  void stampPulses(uint8_t* out, int64_t pos, size_t n);

  uint64_t seed_;
  uint64_t rng_[4]{};
  std::vector<uint8_t> noise_;

  bool scripted_ = false;
  std::vector<int64_t> script_;
  size_t scriptNext_ = 0;
  TubeProfile profile_;
  int startSecond_ = 0;
  double perSampleMax_ = 0.0;  // highest arrival probability per sample
  double time_ = 0.0;          // arrival clock, in samples

  const std::vector<int>* shape_ = &pulseShape();
  double afterShare_ = 0;
  int64_t paralysis_ = 0;
  int64_t lastDischarge_ = -1;
  int64_t nextArrival_ = 0;
  std::deque<int64_t> active_;  // pulses whose tail reaches the next fill
  std::vector<int> sum_;        // scratch: summed deviations of a pulse cluster
  int64_t produced_ = 0;
  int64_t pulses_ = 0;
  bool keepStarts_ = false;
  std::vector<int64_t> starts_;
};

}  // namespace radmon
