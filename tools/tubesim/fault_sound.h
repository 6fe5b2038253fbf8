// What a station may hear instead of, or over, its tube: stretches of flat or stuck
// sound, mains hum and clipping, played second by second over simulated tubes, and
// written as WAV recordings. For the tests and benchmarks of the signal watch and of
// everything that sets faulty minutes aside.
//
// The sound is a pure function of the seed and the stretches: each stretch has a tube
// of its own, seeded one above the stretch before it; hum keeps its phase across them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace radmon {

struct SoundStretch {
  enum Kind { Tube, Flat, Stuck, Hum, Clipped } kind = Tube;
  int seconds = 0;
  double cpm = 20;      // the tube under it (Tube, Hum, Clipped)
  int level = 128;      // Stuck: the level the sound sits at
  double mainsHz = 50;  // Hum
};

class FaultSound {
 public:
  explicit FaultSound(uint64_t seed) : seed_(seed) {}

  // Calls `second` with each second of sound (22050 unsigned 8-bit samples) in turn.
  void play(const std::vector<SoundStretch>& stretches,
            const std::function<void(const std::vector<uint8_t>& second)>& second);

  // Writes the stretches as an 8-bit mono WAV file at 22050 samples/s; false when the
  // file cannot be written.
  bool writeWav(const std::string& path, const std::vector<SoundStretch>& stretches);

 private:
  void shape(const SoundStretch& stretch, std::vector<uint8_t>& sound);

  uint64_t seed_;
  int64_t sample_ = 0;  // samples played so far: the clock of the hum
};

}  // namespace radmon
