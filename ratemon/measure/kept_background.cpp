#include "kept_background.h"

#include <cmath>

#include "number_text.h"
#include "text_files.h"

namespace radmon {
namespace {

constexpr std::string_view kRateKey = "background_cps";
constexpr std::string_view kSensitivityKey = "sensitivity";

}  // namespace

std::string formatKeptBackground(const KeptBackground& kept) {
  return std::string(kRateKey) + "=" + shortestText(kept.perSecond) + "\r\n" +
         std::string(kSensitivityKey) + "=" + shortestText(kept.sensitivity) + "\r\n";
}

std::optional<KeptBackground> parseKeptBackground(std::string_view text) {
  KeptBackground kept;
  bool rate = false, sensitivity = false;
  for (const KeyValue& line : keyValueLines(text)) {
    const auto v = line.value ? readNumber(*line.value) : std::nullopt;
    if (!v || !std::isfinite(*v) || *v <= 0) continue;
    if (line.key == kRateKey) kept.perSecond = *v, rate = true;
    if (line.key == kSensitivityKey) kept.sensitivity = *v, sensitivity = true;
  }
  if (!rate || !sensitivity) return std::nullopt;
  return kept;
}

double keptBackgroundFor(const std::string& path, double sensitivity) {
  const auto text = readTextFile(path);
  const auto kept = text ? parseKeptBackground(*text) : std::nullopt;
  return kept && kept->sensitivity == sensitivity ? kept->perSecond : 0;
}

bool keepBackground(const std::string& path, const KeptBackground& kept) {
  return writeTextFile(path, formatKeptBackground(kept)).has_value();
}

}  // namespace radmon
