#include "ratemon_setting_keys.h"

#include "mqtt_address.h"
#include "number_text.h"
#include "ratemon_messages.h"
#include "settings_text.h"

namespace radmon {

const char* const kAlarmOnEvidenceRules = QT_TRANSLATE_NOOP(
    "Options",
    "警報の鳴らし方の比較 (段階1の警報値に対する線量率ごとに、10分の開始1000回で鳴った割合と、\n"
    "鳴るまでの秒数の中央値 / 最長):\n"
    "   70 %: 値で 88.8 % (2 / 600 秒)、95%区間の下限で 0.0 %\n"
    "  100 %: 値で 100 % (2 / 329 秒)、下限で 30.4 % (250 / 596 秒)\n"
    "  150 %: 値で 100 % (1 / 58 秒)、下限で 100 % (53 / 343 秒)\n"
    "  300 %: 値で 100 % (1 / 10 秒)、下限で 100 % (14 / 38 秒)");

namespace {

using Key = SettingKey<RatemonFiles>;

// A text of ratemon.ini: the file has no escape for a double quote.
bool carried(const std::string& value) { return savableText(value) == value; }

Key boxKey(const BoxControl& c) {
  return {c.key,
          [box = c.id](const RatemonFiles& f) { return f.ini.texts.at(box); },
          [box = c.id, check = c.check](RatemonFiles& f, const std::string& v) {
            if (!carried(v) || (check && !check(v))) return false;
            f.ini.texts[box] = v;
            return true;
          },
          false,
          /*quoted=*/true,
          c.rule};
}

// A tick (1 or 0) of the setting `field` gives.
Key tickKey(const char* name, std::function<bool&(RatemonFiles&)> field,
            const char* note = nullptr) {
  return {name,
          [field](const RatemonFiles& f) {
            return field(const_cast<RatemonFiles&>(f)) ? "1" : "0";  // only read
          },
          [field](RatemonFiles& f, const std::string& v) {
            const auto on = tickValue(v);
            if (on) field(f) = *on;
            return on.has_value();
          },
          false,
          false,
          {ValueRule::Tick},
          note};
}

// A text of the MQTT or maps settings; `check` refuses what the service could not take.
Key textKey(const char* name, std::function<std::string&(RatemonFiles&)> field, bool secret,
            std::function<bool(const std::string&)> check = {}, ValueRule rule = {}) {
  return {name,
          [field](const RatemonFiles& f) { return field(const_cast<RatemonFiles&>(f)); },
          [=](RatemonFiles& f, const std::string& v) {
            if (check && !check(v)) return false;
            field(f) = v;
            return true;
          },
          secret,
          false,
          rule};
}

bool httpAddress(const std::string& v) {
  return v.starts_with("http://") || v.starts_with("https://");
}

std::vector<Key> makeKeys() {
  std::vector<Key> keys;
  for (int field = 0; field < kIniFieldCount; ++field) {
    for (const auto& c : kBoxControls)
      if (c.iniField == field) keys.push_back(boxKey(c));
    for (const auto& c : kTickControls)
      if (c.iniField == field)
        keys.push_back(
            tickKey(c.key, [id = c.id](RatemonFiles& f) -> bool& { return f.ini.ticks.at(id); }));
  }
  keys.push_back(
      {kDeadTimeSetting,
       [](const RatemonFiles& f) { return shortestText(f.counting.deadTimeMicroseconds); },
       [](RatemonFiles& f, const std::string& v) {
         const auto tau = readDeadTime(v);
         if (tau) f.counting.deadTimeMicroseconds = *tau;
         return tau.has_value();
       }});
  keys.push_back(
      tickKey(kGraphBandSetting, [](RatemonFiles& f) -> bool& { return f.counting.graphBand; }));
  keys.push_back(tickKey(
      kAlarmOnEvidenceSetting, [](RatemonFiles& f) -> bool& { return f.counting.alarmOnEvidence; },
      kAlarmOnEvidenceRules));
  for (const MqttLine& line : kMqttLines) {
    if (line.tick) {
      keys.push_back(
          tickKey(line.name, [t = line.tick](RatemonFiles& f) -> bool& { return f.mqtt.*t; }));
    } else if (line.text == &MqttSettings::url) {
      // The address is listed without a password it may carry.
      keys.push_back({line.name,
                      [](const RatemonFiles& f) {
                        const auto address = parseMqttAddress(f.mqtt.url);
                        return address && !f.mqtt.url.empty() ? addressText(*address) : f.mqtt.url;
                      },
                      [](RatemonFiles& f, const std::string& v) {
                        if (!v.empty() && !parseMqttAddress(v)) return false;
                        f.mqtt.url = v;
                        return true;
                      }});
    } else {
      keys.push_back(textKey(
          line.name, [t = line.text](RatemonFiles& f) -> std::string& { return f.mqtt.*t; },
          line.text == &MqttSettings::password));
    }
  }
  for (const MapsLine& line : mapsLines()) {
    if (line.tick) {
      keys.push_back(
          tickKey(line.name, [&line](RatemonFiles& f) -> bool& { return line.tick(f.maps); }));
      continue;
    }
    keys.push_back(textKey(
        line.name, [&line](RatemonFiles& f) -> std::string& { return line.text(f.maps); },
        line.kind == MapsLine::Secret,
        [&line](const std::string& v) {
          return line.takes(v) && (line.kind != MapsLine::Url || httpAddress(v));
        },
        line.rule));
  }
  keys.push_back(languageKey(&RatemonFiles::language));
  return keys;
}

}  // namespace

const std::vector<SettingKey<RatemonFiles>>& ratemonSettingKeys() {
  static const std::vector<Key> keys = makeKeys();
  return keys;
}

std::expected<RatemonFiles, std::string> readRatemonFiles(const std::string& folder) {
  RatemonFiles files;
  const std::string iniPath = folder + std::string(kSettingsFileName);
  auto ini = loadSettingsFile(iniPath, RatemonSettings::defaults(folder));
  if (!ini.issues.empty())
    return std::unexpected(messages::settingsIssue(iniPath, ini.issues.front()));
  files.ini = std::move(ini.value);
  const std::string countingPath = folder + kCountingSettingsFileName;
  auto counting = loadCountingSettings(countingPath);
  for (const auto& issue : counting.issues)
    if (issue.kind == SettingsIssue::Unreadable)
      return std::unexpected(messages::settingsIssue(countingPath, issue));
  files.counting = counting.value;
  const std::string mqttPath = folder + kMqttSettingsFileName;
  auto mqtt = loadMqttSettings(mqttPath);
  for (const auto& issue : mqtt.issues)
    if (issue.kind == SettingsIssue::Unreadable)
      return std::unexpected(messages::settingsIssue(mqttPath, issue));
  files.mqtt = std::move(mqtt.value);
  const std::string mapsPath = folder + kMapsSettingsFileName;
  auto maps = loadMapsSettings(mapsPath);
  for (const auto& issue : maps.issues)
    if (issue.kind == SettingsIssue::Unreadable)
      return std::unexpected(messages::settingsIssue(mapsPath, issue));
  files.maps = std::move(maps.value);
  const auto language = readLanguageSetting(folder);
  if (!language)
    return std::unexpected(messages::settingsIssue(folder + std::string(kLanguageSettingsFileName),
                                                   {0, SettingsIssue::Unreadable, {}}));
  files.language = *language;
  return files;
}

std::expected<void, std::string> saveRatemonFiles(const std::string& folder,
                                                  const RatemonFiles& before,
                                                  const RatemonFiles& after) {
  if (settingsText(before.ini) != settingsText(after.ini))
    if (auto saved = saveSettingsFile(folder + std::string(kSettingsFileName), after.ini); !saved)
      return saved;
  if (before.counting != after.counting) {
    const std::string path = folder + kCountingSettingsFileName;
    if (auto saved = saveCountingSettings(path, after.counting); !saved)
      return std::unexpected(messages::fileNotWritten(path, saved.error()));
  }
  if (before.mqtt != after.mqtt) {
    const std::string path = folder + kMqttSettingsFileName;
    if (auto saved = saveMqttSettings(path, after.mqtt); !saved)
      return std::unexpected(messages::fileNotWritten(path, saved.error()));
  }
  if (before.language != after.language)
    if (auto saved = saveLanguageSetting(folder, after.language); !saved)
      return std::unexpected(
          messages::fileNotWritten(folder + std::string(kLanguageSettingsFileName), saved.error()));
  if (before.maps != after.maps) {
    const std::string path = folder + kMapsSettingsFileName;
    if (auto saved = saveMapsSettings(path, after.maps); !saved)
      return std::unexpected(messages::fileNotWritten(path, saved.error()));
  }
  return {};
}

}  // namespace radmon
