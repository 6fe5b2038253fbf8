#include "fault_sound.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tube_simulator.h"

namespace radmon {

void FaultSound::play(const std::vector<SoundStretch>& stretches,
                      const std::function<void(const std::vector<uint8_t>&)>& second) {
  std::vector<uint8_t> sound(TubeSimulator::kSampleRate);
  for (const SoundStretch& stretch : stretches) {
    TubeSimulator tube(TubeProfile::constant(stretch.cpm), seed_++, 0);
    for (int k = 0; k < stretch.seconds; ++k) {
      tube.fill(sound.data(), sound.size());
      shape(stretch, sound);
      second(sound);
    }
  }
}

void FaultSound::shape(const SoundStretch& stretch, std::vector<uint8_t>& sound) {
  for (uint8_t& s : sound) {
    const double t = static_cast<double>(sample_++) / TubeSimulator::kSampleRate;
    switch (stretch.kind) {
      case SoundStretch::Tube:
        break;
      case SoundStretch::Flat:
        s = 128;
        break;
      case SoundStretch::Stuck:
        s = static_cast<uint8_t>(stretch.level);
        break;
      case SoundStretch::Hum:  // full-scale mains hum over the tube
        s = static_cast<uint8_t>(std::clamp(
            std::lround(s + 127.0 * std::sin(2 * std::numbers::pi * stretch.mainsHz * t)), 0l,
            255l));
        break;
      case SoundStretch::Clipped:  // the tube's sound amplified far past the top of the range
        s = static_cast<uint8_t>(std::clamp((s - 128) * 8 + 248, 0, 255));
        break;
    }
  }
}

bool FaultSound::writeWav(const std::string& path, const std::vector<SoundStretch>& stretches) {
  SF_INFO info{};
  info.samplerate = TubeSimulator::kSampleRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  bool written = true;
  play(stretches, [&](const std::vector<uint8_t>& sound) {
    const auto n = static_cast<sf_count_t>(sound.size());
    written = written && sf_write_raw(file, sound.data(), n) == n;
  });
  return sf_close(file) == 0 && written;
}

}  // namespace radmon
