// The counting settings, kept in their own file beside ratemon.ini (which keeps its
// eleven fields): the resolving time for the dead-time correction, whether the
// real-time graph shows the 95 % band and whether the alarms go on evidence. One "key=value" a
// line; no file means every option off, so the station counts and writes exactly as without them.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "read_result.h"
#include "text_files.h"

namespace radmon {

struct CountingSettings {
  double deadTimeMicroseconds = 0;  // τ; 0 leaves the counts uncorrected
  bool graphBand = false;           // the real-time graph shows the 95 % band
  // A stage sounds when the 95 % interval's lower end of the gross rate is over its
  // limit, not the figure (alarm_stages.h).
  bool alarmOnEvidence = false;

  friend bool operator==(const CountingSettings&, const CountingSettings&) = default;
};

inline constexpr const char* kCountingSettingsFileName = "ratemon_counting.ini";
// The longest resolving time taken: beyond it the cap would hold every reading.
inline constexpr double kLongestDeadTimeMicroseconds = 100000;

// The scan's own resolving time, told as the least τ can be (the value offered to enter
// is estimated from the intervals, resolving_time.h): the scan passes over
// `resolution` samples after a dip and looks for the return at the next, so two pulses
// closer than resolution + 1 samples count as one (measured by bench/count_accuracy:
// 11 samples, 0.499 ms, at the default resolution of 10).
double scanDeadTimeMicroseconds(int resolution, int sampleRate = 22050);

// A τ typed by the operator or given on the command line, in microseconds: a number
// from 0 to kLongestDeadTimeMicroseconds; no value otherwise.
std::optional<double> readDeadTime(std::string_view text);

// The file's settings as ratemon --set names them; the file's key is the part after
// "counting.".
inline constexpr const char* kDeadTimeSetting = "counting.dead_time_us";
inline constexpr const char* kGraphBandSetting = "counting.graph_band";
inline constexpr const char* kAlarmOnEvidenceSetting = "counting.alarm_on_evidence";

// The file's settings over the defaults; no file gives the defaults and no issue. A
// dead_time_us that is no usable number (BadValue) leaves the correction off.
ReadResult<CountingSettings, SettingsIssue> loadCountingSettings(const std::string& path);
std::string countingSettingsText(const CountingSettings& settings);
// Replaced whole; what failed when it cannot be written.
std::expected<void, WriteFault> saveCountingSettings(const std::string& path,
                                                     const CountingSettings& settings);

}  // namespace radmon
