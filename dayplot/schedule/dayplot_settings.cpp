#include "dayplot_settings.h"

#include <filesystem>
#include <vector>

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

bool DayplotSettings::option(int n) const {
  switch (n) {
    case 1: return Option1;
    case 2: return Option2;
    case 3: return Option3;
    case 4: return Option4;
    default: return false;
  }
}

void DayplotSettings::setOption(int n, bool value) {
  if (value) {
    selectOption(n);
    return;
  }
  switch (n) {
    case 1: Option1 = false; break;
    case 2: Option2 = false; break;
    case 3: Option3 = false; break;
    case 4: Option4 = false; break;
    default: break;
  }
}

void DayplotSettings::selectOption(int n) {
  if (n < 1 || n > 4) return;
  Option1 = n == 1;
  Option2 = n == 2;
  Option3 = n == 3;
  Option4 = n == 4;
}

int16_t applySettingsText(std::string_view fileText, DayplotSettings& c) {
  // The reader takes 16 fields and then 5; since a comma and a line end are alike,
  // that is the first 21 fields of the file, and anything after them is ignored.
  const std::vector<SettingsField> fields = readSettingsFields(fileText);
  auto field = [&](int number) -> const SettingsField& {
    return fieldOrEmpty(fields, static_cast<size_t>(number - 1));
  };

  std::string* const line1[] = {&c.Text1, &c.Text2, &c.Text3, &c.Text4,
                                &c.Text5, &c.Text6, &c.Text10, &c.Text11};
  for (int i = 0; i < 8; ++i) *line1[i] = field(i + 1).text;

  int* const checks[] = {&c.Check1, &c.Check2, &c.Check3, &c.Check4};
  for (int i = 0; i < 4; ++i) applyCheck(field(9 + i), *checks[i]);

  int16_t interval = kRealtimePeriods[0];
  for (int i = 0; i < static_cast<int>(kRealtimePeriods.size()); ++i) {
    const auto value = booleanOf(field(13 + i));
    if (!value) continue;
    c.setOption(i + 1, *value);
    if (*value) interval = kRealtimePeriods[i];
  }

  c.Text12 = field(17).text;
  c.Text13 = field(18).text;
  c.Text14 = field(19).text;
  applyCheck(field(20), c.Check5);
  c.Text15 = field(21).text;
  return interval;
}

std::string settingsFileText(const DayplotSettings& c) {
  std::string text = SettingsLineWriter()
                         .text(c.Text1)
                         .text(c.Text2)
                         .text(c.Text3)
                         .text(c.Text4)
                         .text(c.Text5)
                         .text(c.Text6)
                         .text(c.Text10)
                         .text(c.Text11)
                         .line();
  text += SettingsLineWriter()
              .number(c.Check1)
              .number(c.Check2)
              .number(c.Check3)
              .number(c.Check4)
              .line();
  text += SettingsLineWriter()
              .boolean(c.Option1)
              .boolean(c.Option2)
              .boolean(c.Option3)
              .boolean(c.Option4)
              .line();
  text += SettingsLineWriter()
              .text(c.Text12)
              .text(c.Text13)
              .text(c.Text14)
              .number(c.Check5)
              .text(c.Text15)
              .line();
  return text;
}

std::string dataFolderFromPath(std::string_view recordPath, std::string_view fallback) {
  if (!endsWith(recordPath, "csv")) return std::string(fallback);
  return deriveFolder(recordPath);
}

std::string settingsFilePath(const std::string& programFolder) {
  return programFolder + "dayplot.ini";
}

DayplotStart startSettings(const std::string& programFolder, std::string_view today) {
  DayplotStart start;
  start.controls.Text2 = programFolder + "data" + kPathSeparator;
  start.DataFolder = start.controls.Text2;
  if (today.size() == 8) {
    start.controls.Text7 = std::string(today.substr(0, 4));
    start.controls.Text8 = std::string(today.substr(4, 2));
    start.controls.Text9 = std::string(today.substr(6, 2));
  }

  const LoadedReadingsSettings readings =
      loadReadingsSettings(programFolder + kReadingsSettingsFileName);
  start.readings = readings.settings;
  start.readingsIssues = readings.unknownLines;
  if (readings.unreadable) start.readingsIssues.emplace_back();
  const std::string path = settingsFilePath(programFolder);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return start;
  const auto text = readTextFile(path);
  if (!text) return start;  // best effort: an unreadable file leaves the defaults
  start.RealtimeInterval = applySettingsText(*text, start.controls);
  start.DataFolder = dataFolderFromPath(start.controls.Text2, start.DataFolder);
  return start;
}

std::optional<WriteFault> saveSettingsFile(const std::string& path,
                                            const DayplotSettings& controls) {
  return writeTextFile(path, settingsFileText(controls), /*ownerOnly=*/true);
}

}  // namespace radmon
