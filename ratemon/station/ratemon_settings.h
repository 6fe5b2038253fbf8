// ratemon.ini: the saved controls of the main window, carried from one run to the next,
// one line of comma-separated text in the program folder. Which controls and in which
// order comes from the control table.
#pragma once

#include <expected>
#include <map>
#include <string>
#include <string_view>

#include "read_result.h"
#include "station_panel.h"

namespace radmon {

// Every control's value; the file holds those the control table gives a field.
struct RatemonSettings {
  std::map<Box, std::string> texts;
  std::map<Tick, bool> ticks;

  // The values of a first run: the record path is the program's data folder.
  static RatemonSettings defaults(const std::string& programFolder);
};

// Puts the fields of a settings file over `settings` in order. A file with fewer
// fields leaves the rest as they are; a check-box field that is no number keeps its
// value.
void applySettingsText(std::string_view text, RatemonSettings& settings);
// The one line of the file, CR LF ended.
std::string settingsText(const RatemonSettings& settings);

// Reads the file over `settings` when it exists; Unreadable when it exists but cannot be
// read.
ReadResult<RatemonSettings, SettingsIssue> loadSettingsFile(const std::string& path,
                                                            RatemonSettings settings);
// Replaces the file; the operator's sentence when it cannot be written.
std::expected<void, std::string> saveSettingsFile(const std::string& path,
                                                  const RatemonSettings& settings);

// The record folder of a record path: the folder of the path when it ends in "csv",
// otherwise the program's data folder.
std::string saveFolderFor(const std::string& recordPath, const std::string& programFolder);

inline constexpr std::string_view kSettingsFileName = "ratemon.ini";

}  // namespace radmon
