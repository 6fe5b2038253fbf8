// ratemon.ini: the eleven control values carried from one run to the next, one line
// of comma-separated text in the program folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace radmon {

struct RatemonSettings {
  std::string text3 = "50";    // threshold
  std::string text4 = "3";     // dead band
  std::string text5 = "10";    // resolution
  std::string text7;           // tube sensitivity
  std::string text9 = "0.27";  // stage-1 limit
  std::string text10 = "2.7";  // stage-2 limit
  std::string text11;          // record path
  int check2 = 0;              // stage-1 alarm on
  int check3 = 0;              // stage-2 alarm on
  int check4 = 1;              // daily record file on
  std::string text12 = "0";    // background correction

  // The values of a first run: the record path is the program's data folder.
  static RatemonSettings defaults(const std::string& programFolder);
};

// Puts the fields of a settings file over `settings` in order. A file with fewer
// fields leaves the rest as they are; a check-box field that is no number keeps its
// value.
void applySettingsText(std::string_view text, RatemonSettings& settings);
// The one line of the file, CR LF ended.
std::string settingsText(const RatemonSettings& settings);

// Reads the file over `settings` when it exists; the error text when it exists but
// cannot be read.
std::optional<std::string> loadSettingsFile(const std::string& path, RatemonSettings& settings);
std::optional<std::string> saveSettingsFile(const std::string& path,
                                            const RatemonSettings& settings);

// The record folder of a record path: the folder of the path when it ends in "csv",
// otherwise the program's data folder.
std::string saveFolderFor(const std::string& text11, const std::string& programFolder);

inline constexpr std::string_view kSettingsFileName = "ratemon.ini";

}  // namespace radmon
