#include "readings_settings.h"

#include <filesystem>

#include "text_files.h"

namespace radmon {
namespace {

constexpr std::string_view kMeanIntervalKey = std::string_view(kMeanIntervalSetting).substr(9);

}  // namespace

ReadResult<ReadingsSettings, SettingsIssue> readReadingsSettings(const std::string& path) {
  ReadResult<ReadingsSettings, SettingsIssue> read;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return read;
  const auto text = readTextFile(path);
  if (!text) return {{}, {{0, SettingsIssue::Unreadable, {}}}};
  for (const auto& [line, key, value, number] : keyValueLines(*text)) {
    if (key == kMeanIntervalKey && (value == "1" || value == "0")) {
      read.value.meanInterval = value == "1";
    } else {
      read.issues.push_back({number, SettingsIssue::UnknownLine, std::string(line)});
    }
  }
  return read;
}

std::string readingsSettingsText(const ReadingsSettings& settings) {
  return std::string(kMeanIntervalKey) + "=" + (settings.meanInterval ? "1" : "0") + "\r\n";
}

}  // namespace radmon
