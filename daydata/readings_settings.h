// dayplot's settings beyond dayplot.ini, kept in their own file beside it (dayplot.ini
// keeps its fields): whether the day graph's statistics line carries the 95 % interval
// of the day's mean. One "key=value" a line; no file means off, so the day graph is
// drawn exactly as without it. Plain C++, no Qt.
#pragma once

#include <string>
#include <vector>

#include "read_result.h"

namespace radmon {

struct ReadingsSettings {
  bool meanInterval = false;

  friend bool operator==(const ReadingsSettings&, const ReadingsSettings&) = default;
};

inline constexpr const char* kReadingsSettingsFileName = "dayplot_readings.ini";
// The setting as dayplot --set names it; the file's key is the part after "readings.".
inline constexpr const char* kMeanIntervalSetting = "readings.mean_interval";

// The file's settings over the defaults; no file gives the defaults and no issue.
ReadResult<ReadingsSettings, SettingsIssue> readReadingsSettings(const std::string& path);

// The file's text for the settings.
std::string readingsSettingsText(const ReadingsSettings& settings);

}  // namespace radmon
