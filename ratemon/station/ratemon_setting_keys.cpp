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

Key tickKey(const TickControl& c) {
  return {c.key,
          [tick = c.id](const RatemonFiles& f) { return f.ini.ticks.at(tick) ? "1" : "0"; },
          [tick = c.id](RatemonFiles& f, const std::string& v) {
            const auto on = tickValue(v);
            if (on) f.ini.ticks[tick] = *on;
            return on.has_value();
          },
          false,
          false,
          {ValueRule::Tick}};
}

// A text of the MQTT settings, any value the file's line can hold.
Key mqttText(const char* key, std::string MqttSettings::*field, bool secret = false) {
  return {key, [field](const RatemonFiles& f) { return f.mqtt.*field; },
          [field](RatemonFiles& f, const std::string& v) {
            f.mqtt.*field = v;
            return true;
          },
          secret};
}

// A text of the maps settings; `check` refuses what the service could not take.
template <class Service>
Key mapsText(const char* key, Service MapsSettings::*service, std::string Service::*field,
             bool secret = false, std::function<bool(const std::string&)> check = {},
             ValueRule rule = {}) {
  return {key,
          [=](const RatemonFiles& f) { return f.maps.*service.*field; },
          [=](RatemonFiles& f, const std::string& v) {
            if (check && !check(v)) return false;
            f.maps.*service.*field = v;
            return true;
          },
          secret,
          false,
          rule};
}

constexpr ValueRule kHttpAddressRule{
    ValueRule::Any, 0, 0, QT_TRANSLATE_NOOP("Options", "http:// か https:// で始まるアドレス")};

template <class Service>
Key mapsTick(const char* key, Service MapsSettings::*service) {
  return {key,
          [=](const RatemonFiles& f) { return (f.maps.*service).on ? "1" : "0"; },
          [=](RatemonFiles& f, const std::string& v) {
            const auto on = tickValue(v);
            if (on) (f.maps.*service).on = *on;
            return on.has_value();
          },
          false,
          false,
          {ValueRule::Tick}};
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
      if (c.iniField == field) keys.push_back(tickKey(c));
  }
  keys.push_back(
      {"counting.dead_time_us",
       [](const RatemonFiles& f) { return shortestText(f.counting.deadTimeMicroseconds); },
       [](RatemonFiles& f, const std::string& v) {
         const auto tau = readDeadTime(v);
         if (tau) f.counting.deadTimeMicroseconds = *tau;
         return tau.has_value();
       }});
  keys.push_back({"counting.graph_band",
                  [](const RatemonFiles& f) { return f.counting.graphBand ? "1" : "0"; },
                  [](RatemonFiles& f, const std::string& v) {
                    const auto on = tickValue(v);
                    if (on) f.counting.graphBand = *on;
                    return on.has_value();
                  },
                  false,
                  false,
                  {ValueRule::Tick}});
  keys.push_back({"counting.alarm_on_evidence",
                  [](const RatemonFiles& f) { return f.counting.alarmOnEvidence ? "1" : "0"; },
                  [](RatemonFiles& f, const std::string& v) {
                    const auto on = tickValue(v);
                    if (on) f.counting.alarmOnEvidence = *on;
                    return on.has_value();
                  },
                  false,
                  false,
                  {ValueRule::Tick},
                  kAlarmOnEvidenceRules});
  // The address is listed without a password it may carry.
  keys.push_back({"mqtt.url",
                  [](const RatemonFiles& f) {
                    const auto address = parseMqttAddress(f.mqtt.url);
                    return address && !f.mqtt.url.empty() ? addressText(*address) : f.mqtt.url;
                  },
                  [](RatemonFiles& f, const std::string& v) {
                    if (!v.empty() && !parseMqttAddress(v)) return false;
                    f.mqtt.url = v;
                    return true;
                  }});
  keys.push_back(mqttText("mqtt.password", &MqttSettings::password, true));
  keys.push_back(mqttText("mqtt.discovery", &MqttSettings::discoveryPrefix));
  keys.push_back(mqttText("mqtt.ca_file", &MqttSettings::caFile));
  keys.push_back(mqttText("mqtt.station", &MqttSettings::stationName));
  keys.push_back({"mqtt.live",
                  [](const RatemonFiles& f) { return f.mqtt.live ? "1" : "0"; },
                  [](RatemonFiles& f, const std::string& v) {
                    const auto on = tickValue(v);
                    if (on) f.mqtt.live = *on;
                    return on.has_value();
                  },
                  false,
                  false,
                  {ValueRule::Tick}});
  using M = MapsSettings;
  keys.push_back(mapsTick("maps.radmon.on", &M::radmon));
  keys.push_back(mapsText("maps.radmon.user", &M::radmon, &M::Radmon::user));
  keys.push_back(mapsText("maps.radmon.password", &M::radmon, &M::Radmon::password, true));
  keys.push_back(mapsText("maps.radmon.url", &M::radmon, &M::Radmon::url, false, httpAddress,
                          kHttpAddressRule));
  keys.push_back(mapsTick("maps.gmcmap.on", &M::gmcmap));
  keys.push_back(mapsText("maps.gmcmap.account", &M::gmcmap, &M::Gmcmap::account, true));
  keys.push_back(mapsText("maps.gmcmap.geiger", &M::gmcmap, &M::Gmcmap::geiger, true));
  keys.push_back(mapsText("maps.gmcmap.url", &M::gmcmap, &M::Gmcmap::url, false, httpAddress,
                          kHttpAddressRule));
  keys.push_back(mapsTick("maps.safecast.on", &M::safecast));
  keys.push_back(mapsText("maps.safecast.api_key", &M::safecast, &M::Safecast::apiKey, true));
  keys.push_back(
      mapsText("maps.safecast.latitude", &M::safecast, &M::Safecast::latitude, false,
               [](const std::string& v) { return v.empty() || validDegrees(v, 90); },
               {ValueRule::Any, 0, 0,
                QT_TRANSLATE_NOOP("Options", "-90 から 90 までの度 (10 進)、または空")}));
  keys.push_back(
      mapsText("maps.safecast.longitude", &M::safecast, &M::Safecast::longitude, false,
               [](const std::string& v) { return v.empty() || validDegrees(v, 180); },
               {ValueRule::Any, 0, 0,
                QT_TRANSLATE_NOOP("Options", "-180 から 180 までの度 (10 進)、または空")}));
  keys.push_back(mapsText("maps.safecast.device_id", &M::safecast, &M::Safecast::deviceId));
  keys.push_back(mapsText("maps.safecast.url", &M::safecast, &M::Safecast::url, false, httpAddress,
                          kHttpAddressRule));
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
