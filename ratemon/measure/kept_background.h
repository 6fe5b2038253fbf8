// The background the signal watch learnt, kept across runs in a small file of its own
// beside ratemon.ini (which keeps its eleven fields), so that a station that starts
// again knows its tube's quiet from the first second. Two "key=value" lines: the
// pulses per second and the sensitivity they were learnt with; a kept figure for
// another sensitivity (another tube) is not used.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace radmon {

inline constexpr const char* kKeptBackgroundFileName = "ratemon_background.txt";

struct KeptBackground {
  double perSecond = 0;
  double sensitivity = 0;  // as in the box, cps per mR/h
};

std::string formatKeptBackground(const KeptBackground& kept);
// No value for a text without both figures as positive numbers.
std::optional<KeptBackground> parseKeptBackground(std::string_view text);

// The kept background for `sensitivity` from the file at `path`, 0 when there is none
// that fits.
double keptBackgroundFor(const std::string& path, double sensitivity);
// False when the file cannot be written.
bool keepBackground(const std::string& path, const KeptBackground& kept);

}  // namespace radmon
