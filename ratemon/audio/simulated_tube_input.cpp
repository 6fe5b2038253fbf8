#include "simulated_tube_input.h"

#include <algorithm>

namespace radmon {

SimulatedTubeInput::SimulatedTubeInput(const TubeProfile& profile, uint64_t seed,
                                       int startSecondOfDay, std::optional<int64_t> seconds)
    : tube_(profile, seed, startSecondOfDay) {
  if (seconds) samplesLeft_ = std::max<int64_t>(0, *seconds) * kSampleRate;
}

size_t SimulatedTubeInput::produce(uint8_t* out, size_t n) {
  if (samplesLeft_)
    n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(n), *samplesLeft_));
  tube_.fill(out, n);
  if (samplesLeft_) *samplesLeft_ -= static_cast<int64_t>(n);
  return n;
}

}  // namespace radmon
