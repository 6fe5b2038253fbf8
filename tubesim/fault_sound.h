// What a station may hear instead of, or over, its tube: stretches of flat or stuck
// sound, mains hum at any amplitude, mains-locked spikes, broadband noise of any
// loudness and clipping, over tubes of either pulse shape that may ring, played second by second,
// and written as WAV recordings. For the tests and benchmarks of the signal watch and of everything
// that sets faulty minutes aside.
//
// The sound is a pure function of the seed and the stretches: each stretch has a tube
// of its own, seeded one above the stretch before it; hum keeps its phase across them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tube_simulator.h"

namespace radmon {

struct SoundStretch {
  // Uniform: noise spread evenly over the whole range, over the tube.
  enum Kind { Tube, Flat, Stuck, Hum, Clipped, RailNoise, Spikes, Uniform } kind = Tube;
  int seconds = 0;
  double cpm = 20;         // the tube under it (all but Flat and Stuck)
  int level = 128;         // Stuck: the level the sound sits at
  double mainsHz = 50;     // Hum, Spikes
  double amplitude = 127;  // Hum: its peak; RailNoise: the noise's standard deviation
  double perSecond = 0;    // Spikes: how many, each on a mains cycle chosen at random
  double afterPulses = 0;  // the share of the tube's pulses that ring
  TubeSimulator::Shape shape = TubeSimulator::Shape::Narrow;
};

class FaultSound {
 public:
  explicit FaultSound(uint64_t seed) : seed_(seed), random_(seed * 0x9E3779B97F4A7C15ull) {}

  // Calls `second` with each second of sound (22050 unsigned 8-bit samples) in turn.
  void play(const std::vector<SoundStretch>& stretches,
            const std::function<void(const std::vector<uint8_t>& second)>& second);

  // Writes the stretches as an 8-bit mono WAV file at 22050 samples/s; false when the
  // file cannot be written.
  bool writeWav(const std::string& path, const std::vector<SoundStretch>& stretches);

 private:
  void shape(const SoundStretch& stretch, std::vector<uint8_t>& sound);
  double uniform();
  double gaussian();

  uint64_t seed_;
  uint64_t random_;
  int64_t sample_ = 0;    // samples played so far: the clock of the mains
  int64_t spikeAt_ = -1;  // where the last spike started
};

}  // namespace radmon
