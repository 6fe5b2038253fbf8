// The simulated GM tube as an audio input: endless, or a fixed number of seconds
// after which it stops by itself. The tube keeps its place across openDevice(), as a
// real tube goes on ticking while nobody listens; a fresh input starts the stream anew.
//
// Threading and lifetime as PullAudioInput.
#pragma once

#include <cstdint>
#include <optional>

#include "pull_audio_input.h"
#include "tube_simulator.h"

namespace radmon {

class SimulatedTubeInput : public PullAudioInput {
 public:
  // Sample 0 lies at `startSecondOfDay`, where the profile's raised stretch is placed.
  SimulatedTubeInput(const TubeProfile& profile, uint64_t seed, int startSecondOfDay,
                     std::optional<int64_t> seconds = std::nullopt);

  // The truth behind the sound, for comparing counts.
  const TubeSimulator& tube() const { return tube_; }
  TubeSimulator& tube() { return tube_; }

 protected:
  std::expected<void, DeviceFailure> openSource() override { return {}; }
  size_t produce(uint8_t* out, size_t n) override;

 private:
  TubeSimulator tube_;
  std::optional<int64_t> samplesLeft_;
};

}  // namespace radmon
