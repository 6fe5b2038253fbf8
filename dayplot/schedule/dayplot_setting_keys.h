// dayplot's settings by name for --show-settings and --set: dayplot.ini's fields by the
// control table's keys (the password listed as set or unset), the publishing settings
// ("publish.") and the readings settings ("readings."), each through the check the
// program applies when it uses the value.
#pragma once

#include <expected>
#include <string>
#include <vector>

#include "dayplot_settings.h"
#include "language_setting.h"
#include "publish_settings.h"
#include "settings_edits.h"

namespace radmon {

struct DayplotFiles {
  DayplotSettings ini;
  PublishSettings publish;
  ReadingsSettings readings;
  LanguageSetting language;  // both programs'
};

const std::vector<SettingKey<DayplotFiles>>& dayplotSettingKeys();

// The station's files as they are (defaults for those missing); the operator's sentence
// when one cannot be read.
std::expected<DayplotFiles, std::string> readDayplotFiles(const std::string& folder);
// Writes those of the files that differ between `before` and `after`, each in its own
// format (dayplot.ini and the publishing settings owner-only); the sentence of the first
// that cannot be written.
std::expected<void, std::string> saveDayplotFiles(const std::string& folder,
                                                  const DayplotFiles& before,
                                                  const DayplotFiles& after);

}  // namespace radmon
