#include "kept_background.h"

#include <charconv>
#include <cmath>

#include "text_files.h"

namespace radmon {
namespace {

constexpr std::string_view kRateKey = "background_cps";
constexpr std::string_view kSensitivityKey = "sensitivity";

std::string number(double value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return {buffer, end};
}

}  // namespace

std::string formatKeptBackground(const KeptBackground& kept) {
  return std::string(kRateKey) + "=" + number(kept.perSecond) + "\r\n" +
         std::string(kSensitivityKey) + "=" + number(kept.sensitivity) + "\r\n";
}

std::optional<KeptBackground> parseKeptBackground(std::string_view text) {
  KeptBackground kept;
  bool rate = false, sensitivity = false;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
    double v = 0;
    const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
    if (ec != std::errc{} || ptr != value.data() + value.size() || !std::isfinite(v) || v <= 0)
      continue;
    if (key == kRateKey) kept.perSecond = v, rate = true;
    if (key == kSensitivityKey) kept.sensitivity = v, sensitivity = true;
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
  return !writeTextFile(path, formatKeptBackground(kept));
}

}  // namespace radmon
