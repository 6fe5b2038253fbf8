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
    tube.setShape(stretch.shape);
    tube.setAfterPulses(stretch.afterPulses);
    for (int k = 0; k < stretch.seconds; ++k) {
      tube.fill(sound.data(), sound.size());
      shape(stretch, sound);
      second(sound);
    }
  }
}

double FaultSound::uniform() {  // splitmix64, in (0, 1]
  uint64_t z = (random_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<double>(((z ^ (z >> 31)) >> 11) + 1) * 0x1.0p-53;
}

double FaultSound::gaussian() {
  return std::sqrt(-2 * std::log(uniform())) * std::cos(2 * std::numbers::pi * uniform());
}

void FaultSound::shape(const SoundStretch& stretch, std::vector<uint8_t>& sound) {
  const auto clamped = [](double v) {
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0l, 255l));
  };
  const auto& spike = TubeSimulator::pulseShape();
  const double period = TubeSimulator::kSampleRate / stretch.mainsHz;
  for (uint8_t& s : sound) {
    const int64_t at = sample_++;
    const double t = static_cast<double>(at) / TubeSimulator::kSampleRate;
    switch (stretch.kind) {
      case SoundStretch::Tube:
        break;
      case SoundStretch::Flat:
        s = 128;
        break;
      case SoundStretch::Stuck:
        s = static_cast<uint8_t>(stretch.level);
        break;
      case SoundStretch::Hum:  // mains hum over the tube
        s = clamped(s + stretch.amplitude * std::sin(2 * std::numbers::pi * stretch.mainsHz * t));
        break;
      case SoundStretch::RailNoise:  // loud broadband noise over the tube
        s = clamped(s + stretch.amplitude * gaussian());
        break;
      case SoundStretch::Uniform:
        s = clamped(s - 129 + std::ceil(256 * uniform()));
        break;
      case SoundStretch::Spikes: {
        // A spike starts a quarter period into a mains cycle chosen at random.
        const auto cycle = static_cast<int64_t>(std::floor(static_cast<double>(at) / period));
        const auto start =
            static_cast<int64_t>(std::floor((static_cast<double>(cycle) + 0.25) * period));
        if (at == start && uniform() < stretch.perSecond / stretch.mainsHz) spikeAt_ = at;
        if (spikeAt_ >= 0 && at - spikeAt_ < static_cast<int64_t>(spike.size()))
          s = clamped(s + spike[static_cast<size_t>(at - spikeAt_)]);
        break;
      }
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
