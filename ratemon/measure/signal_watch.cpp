#include "signal_watch.h"

#include <algorithm>
#include <cmath>

namespace radmon {

double SignalWatch::assumedBackground() const {
  if (blocks_.empty()) return 0;
  const auto lowest = static_cast<double>(*std::min_element(blocks_.begin(), blocks_.end()));
  return std::max(0.0, lowest - 3 * std::sqrt(lowest)) / kBlockSeconds;
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
  clearRun_ = 0;
  recent_.clear();
  // A block with a hole is not a fair sample of the background.
  blockPulses_ = 0;
  blockSeconds_ = 0;
}

void SignalWatch::learn(int pulses) {
  if (anyActive()) {
    blockPulses_ = 0;
    blockSeconds_ = 0;
    return;
  }
  blockPulses_ += pulses;
  if (++blockSeconds_ < kBlockSeconds) return;
  blocks_.push_back(blockPulses_);
  if (blocks_.size() > kBlocksKept) blocks_.pop_front();
  blockPulses_ = 0;
  blockSeconds_ = 0;
}

std::vector<SignalChange> SignalWatch::observe(const uint8_t* samples, size_t count, int pulses) {
  std::vector<SignalChange> changes;
  if (!samples || count == 0) return changes;
  // One pass the compiler vectorises: the watch runs on every second beside the scan.
  uint8_t lo = 255, hi = 0;
  size_t railed = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t v = samples[i];
    lo = std::min(lo, v);
    hi = std::max(hi, v);
    railed += static_cast<size_t>((v == 0) | (v == 255));
  }
  const bool flat = lo == hi;

  // No signal.
  flatRun_ = flat ? flatRun_ + 1 : 0;
  silentRun_ = pulses == 0 ? silentRun_ + 1 : 0;
  const int silentLimit = silentSecondsLimit();
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
  } else if (!flat && pulses > 0) {
    flag(SignalFault::NoSignal) = false;
    changes.push_back({SignalFault::NoSignal, false, noSignalFlat_, 0, 0, 0});
  }

  // Hum: a Poisson count has variance equal to its mean; hum's barely varies.
  recent_.push_back(pulses);
  if (recent_.size() > static_cast<size_t>(kHumWindow)) recent_.pop_front();
  if (recent_.size() == static_cast<size_t>(kHumWindow)) {
    double sum = 0, squares = 0;
    for (int c : recent_) sum += c, squares += double(c) * c;
    const double mean = sum / kHumWindow;
    const double variance = (squares - sum * mean) / (kHumWindow - 1);
    const double dispersion = mean > 0 ? variance / mean : 1e9;
    if (!active(SignalFault::Hum) && mean >= kHumMinPerSecond && dispersion < kHumDispersion) {
      flag(SignalFault::Hum) = true;
      changes.push_back({SignalFault::Hum, true, false, kHumWindow, 0, mean});
    } else if (active(SignalFault::Hum) &&
               (mean < kHumMinPerSecond || dispersion > kHumEndDispersion)) {
      flag(SignalFault::Hum) = false;
      changes.push_back({SignalFault::Hum, false, false, 0, 0, mean});
    }
  }

  // Clipping; a flat line at an end of the range is no signal, not clipping.
  const bool clipped =
      !flat && static_cast<double>(railed) >= kClipShare * static_cast<double>(count);
  clipRun_ = clipped ? clipRun_ + 1 : 0;
  clearRun_ = clipped ? 0 : clearRun_ + 1;
  if (!active(SignalFault::Clipping) && clipRun_ >= kClipSeconds) {
    flag(SignalFault::Clipping) = true;
    changes.push_back({SignalFault::Clipping, true, false, clipRun_, 0, 0});
  } else if (active(SignalFault::Clipping) && clearRun_ >= kClearSeconds) {
    flag(SignalFault::Clipping) = false;
    changes.push_back({SignalFault::Clipping, false, false, 0, 0, 0});
  }

  if (!flat) learn(pulses);
  return changes;
}

}  // namespace radmon
