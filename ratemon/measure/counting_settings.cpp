#include "counting_settings.h"

#include <filesystem>

#include "number_text.h"
#include "text_files.h"

namespace radmon {
namespace {

std::string_view fileKey(std::string_view setting) { return setting.substr(9); }

}  // namespace

double scanDeadTimeMicroseconds(int resolution, int sampleRate) {
  return (std::max(resolution, 0) + 1) * 1e6 / sampleRate;
}

std::optional<double> readDeadTime(std::string_view text) {
  const auto value = readNumber(text);
  if (!value || *value < 0 || *value > kLongestDeadTimeMicroseconds) return std::nullopt;
  return *value;
}

ReadResult<CountingSettings, SettingsIssue> loadCountingSettings(const std::string& path) {
  ReadResult<CountingSettings, SettingsIssue> loaded;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return loaded;
  const auto text = readTextFile(path);
  if (!text) return {{}, {{0, SettingsIssue::Unreadable, {}}}};
  for (const auto& [line, key, value, number] : keyValueLines(*text)) {
    if (value && key == fileKey(kDeadTimeSetting)) {
      if (const auto tau = readDeadTime(*value)) {
        loaded.value.deadTimeMicroseconds = *tau;
      } else {
        loaded.issues.push_back({number, SettingsIssue::BadValue, std::string(key)});
      }
    } else if (key == fileKey(kGraphBandSetting) && (value == "0" || value == "1")) {
      loaded.value.graphBand = value == "1";
    } else if (key == fileKey(kAlarmOnEvidenceSetting) && (value == "0" || value == "1")) {
      loaded.value.alarmOnEvidence = value == "1";
    } else {
      loaded.issues.push_back({number, SettingsIssue::UnknownLine, std::string(line)});
    }
  }
  return loaded;
}

std::string countingSettingsText(const CountingSettings& s) {
  std::string text;
  const auto line = [&text](std::string_view setting, const std::string& value) {
    text.append(fileKey(setting)).append("=").append(value).append("\r\n");
  };
  line(kDeadTimeSetting, shortestText(s.deadTimeMicroseconds));
  line(kGraphBandSetting, s.graphBand ? "1" : "0");
  line(kAlarmOnEvidenceSetting, s.alarmOnEvidence ? "1" : "0");
  return text;
}

std::expected<void, WriteFault> saveCountingSettings(const std::string& path,
                                                     const CountingSettings& settings) {
  return writeTextFile(path, countingSettingsText(settings));
}

}  // namespace radmon
