// The files of a station in the reliability tests: its ratemon.ini, and the day files
// read back as written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "file_bytes.h"
#include "ratemon_settings.h"
#include "text_files.h"

namespace radmon::reliability {

// ratemon.ini of a program folder: the design values, a sensitivity of 18 and a record
// path in `dataFolder`.
inline void writeStationSettings(const std::filesystem::path& programFolder,
                                 const std::filesystem::path& dataFolder) {
  RatemonSettings settings = RatemonSettings::defaults(programFolder.string() + "/");
  settings.texts[Box::sensitivity] = "18";
  settings.texts[Box::recordPath] = (dataFolder / "x.csv").string();
  ASSERT_TRUE(saveSettingsFile((programFolder / kSettingsFileName).string(), settings));
}

// The lines of a file without their CR LF; a last line without a line end is kept too.
inline std::vector<std::string> fileLines(const std::filesystem::path& path) {
  const std::string text = testing::readBytes(path);
  const auto lines = textLines(text);
  return {lines.begin(), lines.end()};
}

// The last field of a record line: the seconds since the start of recording.
inline int64_t elapsedOf(const std::string& line) {
  const auto comma = line.rfind(',');
  if (comma == std::string::npos) return -1;
  try {
    return std::stoll(line.substr(comma + 1));
  } catch (...) {
    return -1;
  }
}

// "hh:mm" of a record line.
inline std::string timeOf(const std::string& line) {
  return line.size() >= 20 ? line.substr(14, 5) : std::string();
}

inline std::string minuteText(int minuteOfDay) {
  const int h = minuteOfDay / 60 % 24, m = minuteOfDay % 60;
  return std::string{char('0' + h / 10), char('0' + h % 10), ':', char('0' + m / 10),
                     char('0' + m % 10)};
}

}  // namespace radmon::reliability
