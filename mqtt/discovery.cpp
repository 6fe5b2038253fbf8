#include "discovery.h"

#include <cctype>

#include "json_text.h"

namespace radmon {
namespace {

struct Entity {
  const char* component;
  const char* key;
};

// The entities of earlier ratemons, for clearing them.
constexpr Entity kFormerEntities[] = {{"sensor", "dose_rate"},
                                      {"sensor", "cpm"},
                                      {"sensor", "total"},
                                      {"binary_sensor", "alarm1"},
                                      {"binary_sensor", "alarm2"}};

std::string configTopic(const std::string& discoveryPrefix, const std::string& component,
                        const std::string& id, const std::string& key) {
  return discoveryPrefix + "/" + component + "/radmon_" + id + "/" + key + "/config";
}

}  // namespace

std::string stationId(const std::string& stationName) {
  std::string id;
  bool any = false;
  for (unsigned char c : stationName) {
    const bool kept = std::isalnum(c) || c == '_' || c == '-';
    id += kept ? static_cast<char>(std::tolower(c)) : '_';
    any = any || kept;
  }
  return any ? id : "station";
}

bool discoveryOff(const std::string& discoveryPrefix) {
  return discoveryPrefix.empty() || discoveryPrefix == kDiscoveryOff;
}

std::vector<TopicMessage> discoveryMessages(const DiscoveryStation& station,
                                            const std::string& discoveryPrefix,
                                            const DiscoveryNames& names) {
  if (discoveryOff(discoveryPrefix)) return {};
  const std::string base = "radmon_" + station.id;
  const Json device = {
      {"identifiers", {base}},        {"name", names.device + " " + station.name},
      {"model", "ratemon"},           {"manufacturer", "radmon"},
      {"sw_version", RADMON_VERSION},
  };
  const Json origin = {{"name", "radmon"}, {"sw_version", RADMON_VERSION}};
  struct Config {
    Entity entity;
    const std::string& name;
    Json extra;
  };
  const Config configs[] = {
      // The dose rate carries whether it is a lower bound as an attribute, so that a card
      // or an automation reading the rate sees it beside the number.
      {{"sensor", "dose_rate"},
       names.doseRate,
       {{"unit_of_measurement", "μSv/h"},
        {"state_class", "measurement"},
        {"icon", "mdi:radioactive"},
        {"suggested_display_precision", 3},
        {"value_template", "{{ value_json.dose_rate }}"},
        {"json_attributes_topic", station.prefix + "/state"},
        {"json_attributes_template",
         "{{ {'lower_bound': value_json.lower_bound | default(false)} | tojson }}"}}},
      {{"sensor", "cpm"},
       names.cpm,
       {{"unit_of_measurement", "CPM"},
        {"state_class", "measurement"},
        {"icon", "mdi:pulse"},
        {"value_template", "{{ value_json.cpm }}"}}},
      // A count has no unit; the total starts again at each start of measuring.
      {{"sensor", "total"},
       names.total,
       {{"state_class", "total_increasing"},
        {"icon", "mdi:counter"},
        {"value_template", "{{ value_json.total }}"}}},
      {{"binary_sensor", "alarm1"},
       names.alarm1,
       {{"device_class", "safety"},
        {"value_template", "{{ 'ON' if value_json.alarm1 else 'OFF' }}"}}},
      {{"binary_sensor", "alarm2"},
       names.alarm2,
       {{"device_class", "safety"},
        {"value_template", "{{ 'ON' if value_json.alarm2 else 'OFF' }}"}}},
      // The ends of the dose rate's 95 % interval; unknown in records without one, and the
      // upper end past the dead-time cap (null there).
      {{"sensor", "dose_rate_low"},
       names.doseLow,
       {{"unit_of_measurement", "μSv/h"},
        {"state_class", "measurement"},
        {"suggested_display_precision", 3},
        {"value_template",
         "{{ value_json.dose95[0] if value_json.dose95 is defined else None }}"}}},
      {{"sensor", "dose_rate_high"},
       names.doseHigh,
       {{"unit_of_measurement", "μSv/h"},
        {"state_class", "measurement"},
        {"suggested_display_precision", 3},
        {"value_template",
         "{{ value_json.dose95[1] if value_json.dose95 is defined and value_json.dose95[1] is "
         "not none else None }}"}}},
      // Past the dead-time cap or with a saturated tube the dose rate is a lower bound: the
      // true one is higher. Records caught up from the day files do not tell it.
      {{"binary_sensor", "lower_bound"},
       names.lowerBound,
       {{"device_class", "problem"},
        {"icon", "mdi:arrow-collapse-up"},
        {"value_template", "{{ 'ON' if value_json.lower_bound | default(false) else 'OFF' }}"}}},
      // "ok", or the faults joined by commas; records caught up from the day files
      // carry none.
      {{"sensor", "health"},
       names.health,
       {{"entity_category", "diagnostic"},
        {"icon", "mdi:waveform"},
        {"value_template", "{{ value_json.health | default('unknown') }}"}}},
  };
  std::vector<TopicMessage> messages;
  for (const Config& c : configs) {
    Json config = c.extra;
    const std::string key = c.entity.key;
    config["name"] = c.name;
    config["unique_id"] = base + "_" + key;
    config["default_entity_id"] = std::string(c.entity.component) + "." + base + "_" + key;
    config["state_topic"] = station.prefix + "/state";
    config["expire_after"] = kExpireAfterSeconds;
    config["availability_topic"] = station.prefix + "/availability";
    config["payload_available"] = kOnline;
    config["payload_not_available"] = kOffline;
    config["device"] = device;
    config["origin"] = origin;
    messages.push_back(
        {configTopic(discoveryPrefix, c.entity.component, station.id, key), jsonText(config)});
  }
  return messages;
}

std::vector<TopicMessage> formerDiscoveryClears(const DiscoveryStation& station,
                                                const std::string& discoveryPrefix) {
  const std::string former = stationId(station.name);
  if (discoveryOff(discoveryPrefix) || former == station.id) return {};
  std::vector<TopicMessage> messages;
  for (const Entity& e : kFormerEntities)
    messages.push_back({configTopic(discoveryPrefix, e.component, former, e.key), ""});
  return messages;
}

}  // namespace radmon
