#include "signal_watch.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace radmon {
namespace {

constexpr size_t kPhases = 4;  // 50 Hz, 100 Hz, 60 Hz, 120 Hz

// The Rayleigh statistics of a stretch of looks: for each phase, the sum over looks of
// |Σ e^(iθ)|² / n, which for pulses that keep no phase is a sum of as many unit
// exponentials (a gamma variable); and the smallest tail probability of the four.
struct LockFigures {
  double p = 1;
  int phase = 0;
  double lockedPerSecond = 0;
};

template <typename It>
LockFigures lockOf(It from, It to, int lookSeconds) {
  LockFigures best;
  for (size_t m = 0; m < kPhases; ++m) {
    double z = 0, locked = 0;
    int looks = 0;
    for (It l = from; l != to; ++l) {
      if (l->pulses == 0) continue;
      const double r2 = l->cos[m] * l->cos[m] + l->sin[m] * l->sin[m];
      z += r2 / static_cast<double>(l->pulses);
      locked += std::sqrt(std::max(0.0, r2 - static_cast<double>(l->pulses)));
      ++looks;
    }
    if (looks == 0) continue;
    const double p = SignalWatch::gammaAbove(looks, z) * kPhases;
    if (p < best.p) best = {p, static_cast<int>(m), locked / (looks * lookSeconds)};
  }
  return best;
}

}  // namespace

SignalWatch::SignalWatch() : cos441_(441), sin441_(441), cos735_(735), sin735_(735) {
  for (size_t j = 0; j < 441; ++j) {
    cos441_[j] = std::cos(2 * std::numbers::pi * static_cast<double>(j) / 441);
    sin441_[j] = std::sin(2 * std::numbers::pi * static_cast<double>(j) / 441);
  }
  for (size_t j = 0; j < 735; ++j) {
    cos735_[j] = std::cos(2 * std::numbers::pi * static_cast<double>(j) / 735);
    sin735_[j] = std::sin(2 * std::numbers::pi * static_cast<double>(j) / 735);
  }
}

double SignalWatch::gammaAbove(int looks, double x) {
  if (x <= 0) return 1;
  // e^(−x) Σ_{j<looks} x^j / j!, term by term in logarithms.
  double sum = 0;
  for (int j = 0; j < looks; ++j)
    sum += std::exp(-x + j * std::log(x) - std::lgamma(static_cast<double>(j) + 1));
  return std::min(1.0, sum);
}

double SignalWatch::poissonAtLeast(double mean, int64_t k) {
  if (k <= 0) return 1;
  if (mean <= 0) return 0;
  auto term = [mean](int64_t j) {
    return std::exp(-mean + static_cast<double>(j) * std::log(mean) -
                    std::lgamma(static_cast<double>(j) + 1));
  };
  if (static_cast<double>(k) <= mean) {
    double below = 0;
    for (int64_t j = 0; j < k; ++j) below += term(j);
    return std::clamp(1.0 - below, 0.0, 1.0);
  }
  double sum = 0;
  for (int64_t j = k; j < k + 100000; ++j) {
    const double t = term(j);
    sum += t;
    if (t < sum * 1e-12) break;
  }
  return std::min(1.0, sum);
}

void SignalWatch::setSensitivity(double cpsPerMilliroentgen) {
  // cps per mR/h is 6 CPM per μSv/h (1 mR/h ≈ 10 μSv/h).
  floor_ = std::max(0.0, cpsPerMilliroentgen) * 6 * kLowestDoseRate / 60;
}

bool SignalWatch::anyActive() const {
  return std::any_of(std::begin(active_), std::end(active_), [](bool a) { return a; });
}

double SignalWatch::learntBackground() const {
  if (blocks_.empty()) return 0;
  const auto lowest = static_cast<double>(*std::min_element(blocks_.begin(), blocks_.end()));
  return std::max(0.0, lowest - 3 * std::sqrt(lowest)) / kBlockSeconds;
}

double SignalWatch::assumedBackground() const {
  // Once a whole block is heard, the run's own background rules: the tube may have moved.
  if (!blocks_.empty()) return std::max(learntBackground(), floor_);
  double learnt = 0;
  if (blockSeconds_ >= kFirstGuessSeconds) {
    const auto k = static_cast<double>(blockPulses_);
    learnt = std::max(0.0, k - 3 * std::sqrt(k)) / blockSeconds_;
  }
  return std::max({learnt, floor_, kKeptShare * kept_});
}

int SignalWatch::silentSecondsLimit() const {
  const double rate = assumedBackground();
  if (rate <= 0) return 0;
  const double seconds = std::ceil(-std::log(kImprobable) / rate);
  return static_cast<int>(std::max<double>(kMinSilentSeconds, std::min(seconds, 1e9)));
}

void SignalWatch::soundMissing() {
  flatRun_ = 0;
  silentRun_ = 0;
  clipRun_ = 0;
  noiseRun_ = 0;
  clearRun_ = 0;
  recent_.clear();
  recentSum_ = recentSquares_ = 0;
  // A block with a hole is not a fair sample of the background, nor of the mains phase.
  blockPulses_ = 0;
  blockSeconds_ = 0;
  position_ = 0;
  lastPulse_ = -1;
  look_ = {};
  lookSeconds_ = 0;
  lookWhole_ = true;
  lookFaulty_ = false;
  looks_.clear();
  lockLooks_ = afterLooks_ = 0;
}

void SignalWatch::learn(int pulses) {
  // Seconds at fault are no sample of the background; the block waits for its end.
  if (anyActive()) return;
  blockPulses_ += pulses;
  if (++blockSeconds_ < kBlockSeconds) return;
  blocks_.push_back(blockPulses_);
  if (blocks_.size() > kBlocksKept) blocks_.pop_front();
  blockPulses_ = 0;
  blockSeconds_ = 0;
}

SignalWatch::Heard SignalWatch::hear(const uint8_t* samples, size_t count) {
  // One pass the compiler vectorises: the watch runs on every second beside the scan.
  // 32-bit sums keep the loop in wide vector registers: 22050 x 255 fits.
  uint8_t lo = samples[0], hi = samples[0];
  uint32_t low = samples[0] == 0, high = samples[0] == 255;
  uint32_t steps = 0;  // the sum of the steps between samples
  for (size_t i = 1; i < count; ++i) {
    const int v = samples[i], u = samples[i - 1];
    lo = std::min(lo, samples[i]);
    hi = std::max(hi, samples[i]);
    low += static_cast<uint32_t>(v == 0);
    high += static_cast<uint32_t>(v == 255);
    steps += static_cast<uint32_t>(std::abs(v - u));
  }
  const bool flat = lo == hi;
  const auto n = static_cast<double>(count);
  const auto railed = static_cast<double>(low + high);
  // The rest level pressed against the top; pulses that reach the bottom are only loud.
  const bool square = static_cast<double>(high) >= kClipShare * n;
  // Broadband noise reaches both ends and jumps far from sample to sample; hum that
  // reaches them moves only a little.
  const bool noise = railed >= kNoiseShare * n && static_cast<double>(low) >= kNoiseEachEnd * n &&
                     static_cast<double>(high) >= kNoiseEachEnd * n &&
                     static_cast<double>(steps) >= kNoiseStep * n;
  // Quieter broadband noise reaches the threshold from both sides of rest; a tube's
  // sound steps far between samples only in its pulses and their ringing. Either is
  // white: the ringing of pulses piled on one another past saturation reaches the ends
  // too, but swings smoothly.
  const bool noisy = !flat && !square && static_cast<double>(steps) >= kNoiseBroadStep * n &&
                     broadband(samples, count, static_cast<double>(steps) / n, noise);
  if (!flat && (square || noisy) && !active(SignalFault::Clipping)) clipNoise_ = !square;
  return {flat, !flat && (square || noisy), noisy};
}

bool SignalWatch::broadband(const uint8_t* samples, size_t count, double meanStep,
                            bool atEnds) const {
  // The rest level from every fourth sample: enough for a median, a quarter of the work.
  std::array<uint32_t, 256> histogram{};
  uint32_t taken = 0;
  for (size_t i = 0; i < count; i += 4) ++histogram[samples[i]], ++taken;
  const int low = std::clamp(low_, 0, 255);
  uint32_t above = 0;
  for (int v = low; v < 256; ++v) above += histogram[static_cast<size_t>(v)];
  if (above == 0 || static_cast<double>(above) < kNoiseRestShare * taken) return false;
  int rest = low;
  for (uint32_t seen = 0; rest < 256; ++rest) {
    seen += histogram[static_cast<size_t>(rest)];
    if (2 * seen >= above) break;
  }
  const int depth = rest - low;
  if (depth < kNoiseMinDepth) return false;
  // White noise steps between samples further than it lies from rest (about 1.4 times);
  // a tube's ringing, even as the sum of many pulses at once, swings smoothly (0.8 and
  // less).
  double spread = 0;
  for (int v = 0; v < 256; ++v)
    spread += static_cast<double>(histogram[static_cast<size_t>(v)]) * std::abs(v - rest);
  if (meanStep < kNoiseWhite * spread / taken) return false;
  if (atEnds) return true;
  const int rise = rest + static_cast<int>(std::ceil(kNoiseMirror * depth));
  if (rise > 255) return false;
  uint32_t risen = 0, dips = 0;
  for (size_t i = 0; i < count; ++i) {
    risen += static_cast<uint32_t>(samples[i] >= rise);
    dips += static_cast<uint32_t>(samples[i] < low);
  }
  return risen >= static_cast<uint32_t>(kNoiseRiseMin) &&
         static_cast<double>(risen) >= kNoiseRiseShare * static_cast<double>(dips);
}

std::vector<SignalChange> SignalWatch::observe(const uint8_t* samples, size_t count, int pulses) {
  if (!samples || count == 0) return {};
  const Heard h = hear(samples, count);
  return judge(h.flat, h.clipped, h.noise, pulses, nullptr, count);
}

std::vector<SignalChange> SignalWatch::observe(const uint8_t* samples, size_t count,
                                               const std::vector<size_t>& pulseEnds,
                                               bool heldDown) {
  if (!samples || count == 0) return {};
  const Heard h = hear(samples, count);
  return judge(h.flat, h.clipped, h.noise, static_cast<int>(pulseEnds.size()), &pulseEnds, count,
               heldDown);
}

std::vector<SignalChange> SignalWatch::observeCounts(size_t count,
                                                     const std::vector<size_t>& pulseEnds) {
  return judge(false, false, false, static_cast<int>(pulseEnds.size()), &pulseEnds, count);
}

std::vector<SignalChange> SignalWatch::judge(bool flat, bool clipped, bool noise, int pulses,
                                             const std::vector<size_t>* pulseEnds, size_t count,
                                             bool heldDown) {
  std::vector<SignalChange> changes;

  // No signal.
  flatRun_ = flat && !heldDown ? flatRun_ + 1 : 0;
  silentRun_ = pulses == 0 && !heldDown ? silentRun_ + 1 : 0;
  // The limit is never under a minute: not worked out before.
  const int silentLimit = silentRun_ >= kMinSilentSeconds ? silentSecondsLimit() : 0;
  if (!active(SignalFault::NoSignal)) {
    if (flatRun_ >= kFlatSeconds) {
      flag(SignalFault::NoSignal) = noSignalFlat_ = true;
      changes.push_back({SignalFault::NoSignal, true, true, flatRun_, 0, 0});
    } else if (silentLimit > 0 && silentRun_ >= silentLimit) {
      flag(SignalFault::NoSignal) = true;
      noSignalFlat_ = false;
      changes.push_back(
          {SignalFault::NoSignal, true, false, silentRun_, assumedBackground() * 60, 0});
    }
  } else if ((!flat && pulses > 0) || heldDown) {
    flag(SignalFault::NoSignal) = false;
    changes.push_back({SignalFault::NoSignal, false, noSignalFlat_, 0, 0, 0});
  }

  // Hum: a Poisson count has variance equal to its mean; hum's barely varies. Pulses
  // locked to the mains say the same sooner: then that is told instead.
  recent_.push_back(pulses);
  recentSum_ += pulses, recentSquares_ += int64_t{pulses} * pulses;
  if (recent_.size() > static_cast<size_t>(kHumWindow)) {
    recentSum_ -= recent_.front(), recentSquares_ -= int64_t{recent_.front()} * recent_.front();
    recent_.pop_front();
  }
  if (recent_.size() == static_cast<size_t>(kHumWindow)) {
    const auto sum = static_cast<double>(recentSum_), squares = static_cast<double>(recentSquares_);
    const double mean = sum / kHumWindow;
    const double variance = (squares - sum * mean) / (kHumWindow - 1);
    const double dispersion = mean > 0 ? variance / mean : 1e9;
    if (!active(SignalFault::Hum) && !active(SignalFault::Interference) &&
        mean >= kHumMinPerSecond && dispersion < kHumDispersion) {
      flag(SignalFault::Hum) = true;
      changes.push_back({SignalFault::Hum, true, false, kHumWindow, 0, mean});
    } else if (active(SignalFault::Hum) &&
               (mean < kHumMinPerSecond || dispersion > kHumEndDispersion)) {
      flag(SignalFault::Hum) = false;
      changes.push_back({SignalFault::Hum, false, false, 0, 0, mean});
    }
  }

  // Clipping; a flat line at an end of the range is no signal, not clipping.
  // Noise counts as pulses from its first second: told sooner than a level at the top.
  clipRun_ = clipped ? clipRun_ + 1 : 0;
  noiseRun_ = noise ? noiseRun_ + 1 : 0;
  clearRun_ = clipped ? 0 : clearRun_ + 1;
  if (!active(SignalFault::Clipping) && (clipRun_ >= kClipSeconds || noiseRun_ >= kNoiseSeconds)) {
    flag(SignalFault::Clipping) = true;
    SignalChange c{SignalFault::Clipping, true, false, clipRun_, 0, 0};
    c.noise = clipNoise_;
    changes.push_back(c);
  } else if (active(SignalFault::Clipping) && clearRun_ >= kClearSeconds) {
    flag(SignalFault::Clipping) = false;
    SignalChange c{SignalFault::Clipping, false, false, 0, 0, 0};
    c.noise = clipNoise_;
    changes.push_back(c);
  }

  // Mains lock and after-pulses, on whole looks of seconds whose pulses are placed.
  if (pulseEnds && !flat)
    place(*pulseEnds, count);
  else
    lookWhole_ = false, lastPulse_ = -1;
  lookFaulty_ = lookFaulty_ || active(SignalFault::NoSignal) || active(SignalFault::Hum) ||
                active(SignalFault::Clipping) || active(SignalFault::Interference);
  position_ += static_cast<int64_t>(count);
  if (++lookSeconds_ == kLookSeconds) endLook(changes);

  if (!flat) learn(pulses);
  return changes;
}

void SignalWatch::place(const std::vector<size_t>& pulseEnds, size_t count) {
  for (const size_t end : pulseEnds) {
    const int64_t at = position_ + static_cast<int64_t>(std::min(end, count));
    const auto i441 = static_cast<size_t>(at % 441), j441 = static_cast<size_t>((2 * at) % 441);
    const auto i735 = static_cast<size_t>((2 * at) % 735),
               j735 = static_cast<size_t>((4 * at) % 735);
    look_.cos[0] += cos441_[i441], look_.sin[0] += sin441_[i441];
    look_.cos[1] += cos441_[j441], look_.sin[1] += sin441_[j441];
    look_.cos[2] += cos735_[i735], look_.sin[2] += sin735_[i735];
    look_.cos[3] += cos735_[j735], look_.sin[3] += sin735_[j735];
    ++look_.pulses;
    if (lastPulse_ >= 0 && at > lastPulse_) {
      const double t = static_cast<double>(at - lastPulse_) / kSampleRate;
      ++look_.intervals;
      look_.intervalSeconds += t;
      look_.shortIntervals += t < kShortInterval;
      look_.shortest = std::min(look_.shortest, t);
    }
    lastPulse_ = at;
  }
}

void SignalWatch::endLook(std::vector<SignalChange>& changes) {
  if (lookWhole_) {
    look_.faulty = lookFaulty_;
    looks_.push_back(look_);
    if (looks_.size() > kAfterLooks) looks_.pop_front();
    lockLooks_ = std::min(lockLooks_ + 1, kLockLooks);
    afterLooks_ = std::min(afterLooks_ + 1, kAfterLooks);
    judgeLock(changes);
    // The hour's intervals change little in a look: judged once a minute.
    if (++afterTurn_ % kAfterEvery == 0) judgeAfterPulses(changes);
  }
  look_ = {};
  lookSeconds_ = 0;
  lookWhole_ = true;
  lookFaulty_ = false;
}

void SignalWatch::judgeLock(std::vector<SignalChange>& changes) {
  // After an end, only the looks since then may begin it again.
  const size_t n = lockLooks_;
  if (!active(SignalFault::Interference)) {
    const LockFigures f =
        lockOf(looks_.end() - static_cast<std::ptrdiff_t>(n), looks_.end(), kLookSeconds);
    if (f.p > kLockFalse) return;
    flag(SignalFault::Interference) = true;
    lockedHz_ = f.phase < 2 ? 50 : 60;
    lockedRate_ = f.lockedPerSecond;
    // Hum from the steady counts is the same fault, told now by its cause.
    if (active(SignalFault::Hum)) {
      flag(SignalFault::Hum) = false;
      changes.push_back({SignalFault::Hum, false, false, 0, 0, 0});
    }
    SignalChange c{SignalFault::Interference,          true, false,
                   static_cast<int>(n) * kLookSeconds, 0,    lockedRate_};
    c.mainsHz = lockedHz_;
    changes.push_back(c);
    return;
  }
  if (n < kLockEndLooks) return;
  const LockFigures recent =
      lockOf(looks_.end() - static_cast<std::ptrdiff_t>(kLockEndLooks), looks_.end(), kLookSeconds);
  if (recent.p <= kLockEndP) return;
  flag(SignalFault::Interference) = false;
  lockLooks_ = 0;
  SignalChange c{SignalFault::Interference, false, false, 0, 0, lockedRate_};
  c.mainsHz = lockedHz_;
  changes.push_back(c);
}

void SignalWatch::judgeAfterPulses(std::vector<SignalChange>& changes) {
  // The intervals of a counter with dead time τ are τ plus an exponential: given the
  // shortest of them, the others' excess over it are exponential again, so the number
  // under kShortInterval besides the shortest is binomial, near Poisson, with a mean
  // known from the rate. Hum and other faults add intervals of their own: not counted.
  // Each look has its own rate, so a background that rises and falls (rain, a source)
  // adds no short intervals of its own.
  auto test = [](auto from, auto to) {
    double shortest = 1e9;
    for (auto l = from; l != to; ++l)
      if (!l->faulty) shortest = std::min(shortest, l->shortest);
    int64_t n = 0, shortCount = 0;
    double mean = 0;
    for (auto l = from; l != to; ++l) {
      const double excess = l->intervalSeconds - static_cast<double>(l->intervals) * shortest;
      if (l->faulty || l->intervals == 0 || excess <= 0) continue;
      const double rate = static_cast<double>(l->intervals) / excess;
      if (rate * kShortInterval > kAfterBusiest) continue;
      n += l->intervals, shortCount += l->shortIntervals;
      mean += static_cast<double>(l->intervals) *
              (1 - std::exp(-rate * std::max(0.0, kShortInterval - shortest)));
    }
    struct {
      double p = 1, share = 0;
    } r;
    if (n < 100) return r;
    const int64_t others = shortCount - (shortest < kShortInterval ? 1 : 0);
    r.p = poissonAtLeast(mean, others);
    r.share = static_cast<double>(shortCount) / static_cast<double>(n);
    return r;
  };
  if (!active(SignalFault::AfterPulses)) {
    const auto r = test(looks_.end() - static_cast<std::ptrdiff_t>(afterLooks_), looks_.end());
    if (r.p > kAfterFalse) return;
    flag(SignalFault::AfterPulses) = true;
    SignalChange c{
        SignalFault::AfterPulses, true, false, static_cast<int>(afterLooks_) * kLookSeconds, 0, 0};
    c.shortShare = r.share;
    changes.push_back(c);
    return;
  }
  if (looks_.size() < kAfterEndLooks) return;
  const auto r = test(looks_.end() - static_cast<std::ptrdiff_t>(kAfterEndLooks), looks_.end());
  if (r.p <= kAfterEndP) return;
  flag(SignalFault::AfterPulses) = false;
  afterLooks_ = 0;
  SignalChange c{SignalFault::AfterPulses, false, false, 0, 0, 0};
  c.shortShare = r.share;
  changes.push_back(c);
}

}  // namespace radmon
