#include "tube_simulator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

namespace radmon {

namespace {

constexpr size_t kNoiseTableSize = 65536;
// Noise is copied in blocks of this many samples from seed-chosen table offsets, so a
// long run does not repeat one 64 KiB pattern and no sample needs a random draw.
constexpr size_t kNoiseBlock = 1024;
constexpr double kNoiseSigma = 2.5;
constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

uint64_t splitMix(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

// A discharge of about 100 us, seen through the sound card's anti-alias filter: a dip
// that reaches far below the thresholds within two samples and is back above rest
// after six; the coupling capacitor then gives a small overshoot that decays.
std::vector<int> makePulseShape() {
  std::vector<int> s = {-60, -125, -110, -80, -48, -22, -4, 7, 11};
  const double peak = 12.0, decay = 14.0;
  for (int k = 0; k < 55; ++k)
    s.push_back(static_cast<int>(std::lround(peak * std::exp(-k / decay))));
  while (!s.empty() && s.back() == 0) s.pop_back();
  return s;
}

// The same discharge through a slower circuit: down within two samples, held there for
// about a millisecond, and back up as steeply.
std::vector<int> makeWidePulseShape() {
  std::vector<int> s = {-60, -110};
  s.insert(s.end(), 20, -112);
  for (int v : {-70, -30, -4, 7, 11}) s.push_back(v);
  const double peak = 12.0, decay = 14.0;
  for (int k = 0; k < 55; ++k)
    s.push_back(static_cast<int>(std::lround(peak * std::exp(-k / decay))));
  while (!s.empty() && s.back() == 0) s.pop_back();
  return s;
}

// The narrow discharge through a circuit that rings: after the dip a swing of about
// 2.8 kHz (8 samples a period) dies away over 3 ms. Its lows stay far above the
// thresholds, so a scan counts the discharge once; its highs cross rest on either side.
std::vector<int> makeRingingPulseShape() {
  std::vector<int> s = {-60, -125, -110, -60, -10};
  for (int k = 0; k < 70; ++k)
    s.push_back(static_cast<int>(
        std::lround(50.0 * std::exp(-k / 14.0) * std::sin(std::numbers::pi * (k + 1) / 4.0))));
  while (!s.empty() && s.back() == 0) s.pop_back();
  return s;
}

}  // namespace

const std::vector<int>& TubeSimulator::pulseShape(Shape which) {
  static const std::vector<int> narrow = makePulseShape();
  static const std::vector<int> wide = makeWidePulseShape();
  static const std::vector<int> ringing = makeRingingPulseShape();
  switch (which) {
    case Shape::Wide:
      return wide;
    case Shape::Ringing:
      return ringing;
    case Shape::Narrow:
      break;
  }
  return narrow;
}

TubeSimulator::TubeSimulator(uint64_t seed) : seed_(seed), noise_(kNoiseTableSize) {
  uint64_t sm = seed;
  for (auto& r : rng_) r = splitMix(sm);
  // Box-Muller once per table entry; quantised and kept inside the noise limit.
  for (size_t i = 0; i < kNoiseTableSize; i += 2) {
    const double u1 = uniform(), u2 = uniform();
    const double radius = kNoiseSigma * std::sqrt(-2.0 * std::log(u1));
    const double g[2] = {radius * std::cos(2 * std::numbers::pi * u2),
                         radius * std::sin(2 * std::numbers::pi * u2)};
    for (int k = 0; k < 2; ++k) {
      const long q = std::clamp<long>(std::lround(g[k]), -kNoiseLimit, kNoiseLimit);
      noise_[i + k] = static_cast<uint8_t>(kRest + q);
    }
  }
  // The arrival stream gets its own state, apart from the one that drew the table.
  sm = seed ^ 0xA5A5A5A55A5A5A5Aull;
  for (auto& r : rng_) r = splitMix(sm);
}

TubeSimulator::TubeSimulator(const TubeProfile& profile, uint64_t seed, int startSecondOfDay)
    : TubeSimulator(seed) {
  profile_ = profile;
  startSecond_ = ((startSecondOfDay % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
  perSampleMax_ = std::max(0.0, profile.maxCpm()) / 60.0 / kSampleRate;
  nextArrival_ = drawArrival();
  switch (profile.kind) {
    case TubeKind::Narrow:
      break;
    case TubeKind::Wide:
      setShape(Shape::Wide);
      break;
    case TubeKind::AfterPulsing:
      setAfterPulses(kAfterPulseShare);
      break;
    case TubeKind::Paralysable:
      setParalysis(kParalysableSamples);
      break;
    case TubeKind::Ringing:
      setShape(Shape::Ringing);
      break;
  }
}

TubeSimulator TubeSimulator::scripted(std::vector<int64_t> pulseStarts, uint64_t seed) {
  TubeSimulator sim(seed);
  std::sort(pulseStarts.begin(), pulseStarts.end());
  sim.scripted_ = true;
  sim.script_ = std::move(pulseStarts);
  sim.nextArrival_ = sim.drawArrival();
  return sim;
}

uint64_t TubeSimulator::nextRandom() {  // xoshiro256**
  const uint64_t result = rotl(rng_[1] * 5, 7) * 9;
  const uint64_t t = rng_[1] << 17;
  rng_[2] ^= rng_[0];
  rng_[3] ^= rng_[1];
  rng_[1] ^= rng_[2];
  rng_[0] ^= rng_[3];
  rng_[2] ^= t;
  rng_[3] = rotl(rng_[3], 45);
  return result;
}

double TubeSimulator::uniform() {
  return static_cast<double>((nextRandom() >> 11) + 1) * 0x1.0p-53;
}

int64_t TubeSimulator::drawArrival() {
  if (scripted_) {
    while (scriptNext_ < script_.size() && script_[scriptNext_] < 0) ++scriptNext_;
    return scriptNext_ < script_.size() ? script_[scriptNext_++] : kNever;
  }
  if (!(perSampleMax_ > 0.0)) return kNever;
  // Arrivals at the highest rate of the day, each kept with the ratio of the rate of
  // its moment to that highest rate: an exact Poisson process for a varying rate.
  const double maxCpm = profile_.maxCpm();
  for (;;) {
    time_ += -std::log(uniform()) / perSampleMax_;
    if (time_ >= 9.0e18) return kNever;
    const auto sample = static_cast<int64_t>(time_);
    const int second = static_cast<int>((startSecond_ + sample / kSampleRate) % kSecondsPerDay);
    const double cpm = profile_.cpmAt(second);
    if (cpm >= maxCpm || uniform() * maxCpm < cpm) return sample;
  }
}

size_t TubeSimulator::noiseOffset(int64_t block) const {
  uint64_t state = seed_ * 0xD1B54A32D192ED03ull + static_cast<uint64_t>(block);
  return splitMix(state) % (kNoiseTableSize - kNoiseBlock + 1);
}

int64_t TubeSimulator::fill(uint8_t* out, size_t n) {
  const int64_t pos = produced_;
  const int64_t end = pos + static_cast<int64_t>(n);
  for (size_t done = 0; done < n;) {
    const int64_t at = pos + static_cast<int64_t>(done);
    const size_t within = static_cast<size_t>(at % kNoiseBlock);
    const size_t take = std::min(kNoiseBlock - within, n - done);
    std::memcpy(out + done, noise_.data() + noiseOffset(at / kNoiseBlock) + within, take);
    done += take;
  }
  int64_t started = 0;
  while (nextArrival_ < end) {
    const bool blind =
        paralysis_ > 0 && lastDischarge_ >= 0 && nextArrival_ - lastDischarge_ < paralysis_;
    lastDischarge_ = nextArrival_;
    if (keepStarts_) starts_.push_back(nextArrival_);
    ++started;
    if (blind) {
      nextArrival_ = drawArrival();
      continue;
    }
    active_.insert(std::upper_bound(active_.begin(), active_.end(), nextArrival_), nextArrival_);
    if (afterShare_ > 0 && uniform() < afterShare_) {
      // Kept in order with the arrivals; it may land in the next fill.
      const auto after =
          nextArrival_ + static_cast<int64_t>(kSampleRate * (0.5e-3 + 1e-3 * uniform()));
      active_.insert(std::upper_bound(active_.begin(), active_.end(), after), after);
    }
    nextArrival_ = drawArrival();
  }
  stampPulses(out, pos, n);
  const auto length = static_cast<int64_t>(shape_->size());
  while (!active_.empty() && active_.front() + length <= end) active_.pop_front();
  produced_ = end;
  pulses_ += started;
  return started;
}

// Overlapping pulses add up before the result is clamped to the byte range, as the
// voltages would; so each run of overlapping pulses is summed in a scratch first.
void TubeSimulator::stampPulses(uint8_t* out, int64_t pos, size_t n) {
  const auto& shape = *shape_;
  const auto length = static_cast<int64_t>(shape.size());
  const int64_t end = pos + static_cast<int64_t>(n);
  size_t p = 0;
  while (p < active_.size() && active_[p] < end) {
    const int64_t from = std::max(active_[p], pos);
    int64_t reach = active_[p] + length;
    size_t q = p + 1;
    while (q < active_.size() && active_[q] < std::min(reach, end)) {
      reach = std::max(reach, active_[q] + length);
      ++q;
    }
    const int64_t to = std::min(reach, end);
    if (to > from) {
      sum_.assign(static_cast<size_t>(to - from), 0);
      for (size_t k = p; k < q; ++k) {
        const int64_t a = std::max(active_[k], from), b = std::min(active_[k] + length, to);
        for (int64_t t = a; t < b; ++t)
          sum_[static_cast<size_t>(t - from)] += shape[static_cast<size_t>(t - active_[k])];
      }
      for (int64_t t = from; t < to; ++t) {
        uint8_t& sample = out[t - pos];
        sample =
            static_cast<uint8_t>(std::clamp(sample + sum_[static_cast<size_t>(t - from)], 0, 255));
      }
    }
    p = q;
  }
}

}  // namespace radmon
