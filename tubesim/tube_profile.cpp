#include "tube_profile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace radmon {

namespace {

constexpr std::array<std::pair<TubeKind, std::string_view>, 5> kKindNames{{
    {TubeKind::Narrow, "narrow"},
    {TubeKind::Wide, "wide"},
    {TubeKind::AfterPulsing, "afterpulse"},
    {TubeKind::Paralysable, "paralysable"},
    {TubeKind::Ringing, "ringing"},
}};

}  // namespace

std::optional<TubeKind> parseTubeKind(std::string_view text) {
  for (const auto& [kind, name] : kKindNames)
    if (name == text) return kind;
  return std::nullopt;
}

std::string_view tubeKindName(TubeKind kind) {
  for (const auto& [k, name] : kKindNames)
    if (k == kind) return name;
  return {};
}

double TubeProfile::cpmAt(int secondOfDay) const {
  const int from = raisedFromSecondOfDay, to = raisedToSecondOfDay;
  bool raised = false;
  if (from < to)
    raised = secondOfDay >= from && secondOfDay < to;
  else if (from > to)
    raised = secondOfDay >= from || secondOfDay < to;
  return raised ? raisedCpm : baseCpm;
}

double TubeProfile::maxCpm() const {
  return raisedFromSecondOfDay == raisedToSecondOfDay ? baseCpm : std::max(baseCpm, raisedCpm);
}

std::optional<double> parseCpm(std::string_view text) {
  // Only digits and one point: no sign, exponent, "inf" or "nan" in a rate.
  if (text.empty() || std::count(text.begin(), text.end(), '.') > 1 ||
      !std::all_of(text.begin(), text.end(),
                   [](char c) { return (c >= '0' && c <= '9') || c == '.'; }) ||
      text == ".")
    return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value > kMaxSimulatedCpm)
    return std::nullopt;
  return value;
}

namespace {

std::optional<int> twoDigits(std::string_view text, int max) {
  if (text.size() != 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9')
    return std::nullopt;
  const int value = (text[0] - '0') * 10 + (text[1] - '0');
  return value <= max ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

std::optional<int> parseTimeOfDay(std::string_view text) {
  if (text.size() != 5 && text.size() != 8) return std::nullopt;
  if (text[2] != ':' || (text.size() == 8 && text[5] != ':')) return std::nullopt;
  const auto hh = twoDigits(text.substr(0, 2), 24);
  const auto mm = twoDigits(text.substr(3, 2), 59);
  const auto ss = text.size() == 8 ? twoDigits(text.substr(6, 2), 59) : std::optional<int>(0);
  if (!hh || !mm || !ss) return std::nullopt;
  const int seconds = *hh * 3600 + *mm * 60 + *ss;
  return seconds <= kSecondsPerDay ? std::optional<int>(seconds) : std::nullopt;
}

std::optional<TubeProfile> parseTubeProfile(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos) {
    const auto cpm = parseCpm(text);
    if (!cpm) return std::nullopt;
    return TubeProfile::constant(*cpm);
  }
  const auto at = text.find('@', colon);
  const auto dash = text.find('-', at == std::string_view::npos ? text.size() : at);
  if (at == std::string_view::npos || dash == std::string_view::npos) return std::nullopt;
  const auto base = parseCpm(text.substr(0, colon));
  const auto raised = parseCpm(text.substr(colon + 1, at - colon - 1));
  const auto from = parseTimeOfDay(text.substr(at + 1, dash - at - 1));
  const auto to = parseTimeOfDay(text.substr(dash + 1));
  if (!base || !raised || !from || !to) return std::nullopt;
  return TubeProfile{*base, *raised, *from, *to};
}

}  // namespace radmon
