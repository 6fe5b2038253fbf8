// ratemon's settings by name for --show-settings and --set: the saved controls of
// ratemon.ini by the control table's keys and checks, the counting settings
// ("counting."), the MQTT settings ("mqtt.", the password listed as set or unset) and the
// public maps ("maps.", their passwords, ids and keys listed as set or unset).
#pragma once

#include <expected>
#include <string>
#include <vector>

#include "counting_settings.h"
#include "language_setting.h"
#include "maps_settings.h"
#include "mqtt_settings.h"
#include "ratemon_settings.h"
#include "settings_edits.h"

namespace radmon {

struct RatemonFiles {
  RatemonSettings ini;
  CountingSettings counting;
  MqttSettings mqtt;
  MapsSettings maps;
  LanguageSetting language;  // both programs'
};

const std::vector<SettingKey<RatemonFiles>>& ratemonSettingKeys();

// Both alarm rules side by side (bench/alarm_evidence): the note of
// counting.alarm_on_evidence, and the tooltip of its tick (context "Options").
extern const char* const kAlarmOnEvidenceRules;

// The station's files as they are (defaults for those missing); the operator's sentence
// when one cannot be read.
std::expected<RatemonFiles, std::string> readRatemonFiles(const std::string& folder);
// Writes those of the files that differ between `before` and `after`, each in its own
// format (the MQTT and maps settings owner-only); the sentence of the first that cannot be written.
std::expected<void, std::string> saveRatemonFiles(const std::string& folder,
                                                  const RatemonFiles& before,
                                                  const RatemonFiles& after);

}  // namespace radmon
