// The SOURCE text of the command line and the audio input it names:
//   sim:CPM                          simulated tube at a constant rate, e.g. sim:20
//   sim:BASE:RAISED@HH:MM-HH:MM      a day profile, e.g. sim:20:120@13:00-16:00
//   either followed by ,seed=N       another (reproducible) random stream; default 1
//   and/or ,tube=KIND                narrow (default), wide, afterpulse, paralysable
//   anything else                    a WAV file path
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "pull_audio_input.h"
#include "tube_profile.h"

namespace radmon {

struct SourceChoice {
  enum class Kind { WavFile, SimulatedTube };
  Kind kind = Kind::WavFile;
  std::string wavPath;
  TubeProfile profile;
  uint64_t seed = 1;
};

inline constexpr uint64_t kDefaultSimulationSeed = 1;

// The choice a SOURCE text names; nothing for an empty text or a simulation it cannot read.
std::optional<SourceChoice> parseAudioSource(std::string_view text);

// The input a choice names; the simulated tube starts at `startSecondOfDay` and runs for
// `seconds` when given, else endlessly. Opening (and its errors) is left to openDevice().
std::unique_ptr<PullAudioInput> makeAudioInput(const SourceChoice& choice, int startSecondOfDay,
                                               std::optional<int64_t> seconds = std::nullopt);

}  // namespace radmon
