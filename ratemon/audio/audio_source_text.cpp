#include "audio_source_text.h"

#include <charconv>

#include "simulated_tube_input.h"
#include "wav_file_input.h"

namespace radmon {

namespace {

constexpr std::string_view kSimPrefix = "sim:";
constexpr std::string_view kSeedSuffix = ",seed=";

}  // namespace

std::optional<SourceChoice> parseAudioSource(std::string_view text) {
  if (text.empty()) return std::nullopt;
  SourceChoice choice;
  if (!text.starts_with(kSimPrefix)) {
    choice.wavPath = std::string(text);
    return choice;
  }
  choice.kind = SourceChoice::Kind::SimulatedTube;
  std::string_view rest = text.substr(kSimPrefix.size());
  choice.seed = kDefaultSimulationSeed;
  if (const auto at = rest.find(kSeedSuffix); at != std::string_view::npos) {
    const std::string_view seedText = rest.substr(at + kSeedSuffix.size());
    const auto [end, ec] =
        std::from_chars(seedText.data(), seedText.data() + seedText.size(), choice.seed);
    if (seedText.empty() || ec != std::errc() || end != seedText.data() + seedText.size())
      return std::nullopt;
    rest = rest.substr(0, at);
  }
  const auto profile = parseTubeProfile(rest);
  if (!profile) return std::nullopt;
  choice.profile = *profile;
  return choice;
}

std::unique_ptr<PullAudioInput> makeAudioInput(const SourceChoice& choice, int startSecondOfDay,
                                               std::optional<int64_t> seconds) {
  if (choice.kind == SourceChoice::Kind::SimulatedTube)
    return std::make_unique<SimulatedTubeInput>(choice.profile, choice.seed, startSecondOfDay,
                                                seconds);
  return std::make_unique<WavFileInput>(choice.wavPath);
}

}  // namespace radmon
