#include "dayplot_settings.h"

#include <filesystem>
#include <vector>

#include "dayplot_messages.h"
#include "settings_text.h"
#include "text_files.h"

namespace radmon {
namespace {

// A field that the file does not hold reads as an empty value.
const SettingsField& fieldOrEmpty(const std::vector<SettingsField>& fields, size_t index) {
  static const SettingsField kEmpty{};
  return index < fields.size() ? fields[index] : kEmpty;
}

// A check box takes 0 or 1; an empty field clears it, anything else leaves it.
void applyCheck(const SettingsField& field, int& check) {
  if (field.text.empty()) {
    check = 0;
    return;
  }
  const auto value = field.asInt();
  if (value && (*value == 0 || *value == 1)) check = *value;
}

std::optional<bool> booleanOf(const SettingsField& field) {
  if (field.text.empty()) return false;
  return field.asBool();
}

}  // namespace

void DayplotSettings::selectOption(int n) {
  if (n < 1 || n > 4) return;
  for (int i = 1; i <= 4; ++i) every[i - 1] = i == n;
}

int16_t applySettingsText(std::string_view fileText, DayplotSettings& c) {
  // A comma and a line end are alike, so the fields count through the file; anything
  // after the last one is ignored.
  const std::vector<SettingsField> fields = readSettingsFields(fileText);
  int16_t interval = kRealtimePeriods[0];
  for (size_t i = 0; i < kFileFields; ++i) {
    const DayplotControl& control = kDayplotControls[i];
    const SettingsField& field = fieldOrEmpty(fields, i);
    if (control.text) {
      c.*control.text = field.text;
    } else if (control.tick) {
      applyCheck(field, c.*control.tick);
    } else if (const auto value = booleanOf(field)) {
      // True selects its period alone, False clears only its own.
      const auto n = static_cast<size_t>(control.option - 1);
      if (!*value) {
        c.every[n] = false;
        continue;
      }
      c.selectOption(control.option);
      interval = kRealtimePeriods[n];
    }
  }
  return interval;
}

std::string settingsFileText(const DayplotSettings& c) {
  std::string text;
  SettingsLineWriter line;
  for (size_t i = 0; i < kFileFields; ++i) {
    const DayplotControl& control = kDayplotControls[i];
    if (control.text)
      line.text(c.*control.text);
    else if (control.tick)
      line.number(c.*control.tick);
    else
      line.boolean(c.option(control.option));
    if (control.endsLine) {
      text += line.line();
      line = SettingsLineWriter();
    }
  }
  return text;
}

std::string dataFolderFromPath(std::string_view recordPath, std::string_view fallback) {
  if (!endsWith(recordPath, "csv")) return std::string(fallback);
  return deriveFolder(recordPath);
}

std::string settingsFilePath(const std::string& programFolder) {
  return dayplotIniPath(programFolder);
}

DayplotStartRead startSettings(const std::string& programFolder, std::string_view today) {
  DayplotStartRead read;
  DayplotStart& start = read.value;
  start.controls.dataPath = dataFolder(programFolder);
  start.DataFolder = start.controls.dataPath;
  if (today.size() == 8) {
    start.controls.manualYear = std::string(today.substr(0, 4));
    start.controls.manualMonth = std::string(today.substr(4, 2));
    start.controls.manualDay = std::string(today.substr(6, 2));
  }

  auto readings = readReadingsSettings(programFolder + kReadingsSettingsFileName);
  start.readings = readings.value;
  start.readingsIssues = std::move(readings.issues);
  const std::string path = settingsFilePath(programFolder);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    // A new station: the place and tube in the operator's language until they type them.
    start.controls.place = say::newStationPlace();
    start.controls.tube = say::newStationTube();
    return read;
  }
  const auto text = readTextFile(path);
  if (!text) {
    read.issues.push_back({0, DayplotIniFault::Unreadable, {}});
    return read;
  }
  start.RealtimeInterval = applySettingsText(*text, start.controls);
  start.DataFolder = dataFolderFromPath(start.controls.dataPath, start.DataFolder);
  return read;
}

std::expected<void, WriteFault> saveSettingsFile(const std::string& path,
                                                 const DayplotSettings& controls) {
  return writeTextFile(path, settingsFileText(controls), /*ownerOnly=*/true);
}

}  // namespace radmon
