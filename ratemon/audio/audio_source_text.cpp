#include "audio_source_text.h"

#include <charconv>

#include "simulated_tube_input.h"
#include "wav_file_input.h"

namespace radmon {

namespace {

constexpr std::string_view kSimPrefix = "sim:";
constexpr std::string_view kSeedKey = "seed=";
constexpr std::string_view kTubeKey = "tube=";

}  // namespace

std::optional<SourceChoice> parseAudioSource(std::string_view text) {
  if (text.empty()) return std::nullopt;
  SourceChoice choice;
  if (!text.starts_with(kSimPrefix)) {
    choice.wavPath = std::string(text);
    return choice;
  }
  choice.kind = SourceChoice::Kind::SimulatedTube;
  const std::string_view rest = text.substr(kSimPrefix.size());
  const auto comma = rest.find(',');
  const auto profile = parseTubeProfile(rest.substr(0, comma));
  if (!profile) return std::nullopt;
  choice.profile = *profile;
  choice.seed = kDefaultSimulationSeed;
  // The options after the profile, in any order: seed=N, tube=KIND.
  for (auto at = comma; at != std::string_view::npos;) {
    const auto next = rest.find(',', at + 1);
    const std::string_view option =
        rest.substr(at + 1, next == rest.npos ? rest.npos : next - at - 1);
    at = next;
    if (option.starts_with(kSeedKey)) {
      const std::string_view seedText = option.substr(kSeedKey.size());
      const auto [end, ec] =
          std::from_chars(seedText.data(), seedText.data() + seedText.size(), choice.seed);
      if (seedText.empty() || ec != std::errc() || end != seedText.data() + seedText.size())
        return std::nullopt;
    } else if (option.starts_with(kTubeKey)) {
      const auto kind = parseTubeKind(option.substr(kTubeKey.size()));
      if (!kind) return std::nullopt;
      choice.profile.kind = *kind;
    } else {
      return std::nullopt;
    }
  }
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
