#include "discovery.h"

#include <cctype>

#include <nlohmann/json.hpp>

namespace radmon {

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

std::vector<TopicMessage> discoveryMessages(const std::string& stationName,
                                            const std::string& prefix,
                                            const std::string& discoveryPrefix,
                                            const DiscoveryNames& names) {
  const std::string id = stationId(stationName);
  const nlohmann::json device = {
      {"identifiers", {"radmon_" + id}},
      {"name", names.device + " " + stationName},
      {"model", "ratemon"},
      {"manufacturer", "radmon"},
  };
  struct Entity {
    const char* component;
    const char* key;
    const std::string& name;
    nlohmann::json extra;
  };
  const Entity entities[] = {
      {"sensor",
       "dose_rate",
       names.doseRate,
       {{"unit_of_measurement", "μSv/h"},
        {"state_class", "measurement"},
        {"icon", "mdi:radioactive"},
        {"suggested_display_precision", 3}}},
      {"sensor",
       "cpm",
       names.cpm,
       {{"unit_of_measurement", "CPM"}, {"state_class", "measurement"}, {"icon", "mdi:pulse"}}},
      // The total starts again at each start of measuring.
      {"sensor",
       "total",
       names.total,
       {{"unit_of_measurement", names.countUnit},
        {"state_class", "total_increasing"},
        {"icon", "mdi:counter"}}},
      {"binary_sensor", "alarm1", names.alarm1, {{"device_class", "safety"}}},
      {"binary_sensor", "alarm2", names.alarm2, {{"device_class", "safety"}}},
  };
  std::vector<TopicMessage> messages;
  for (const Entity& e : entities) {
    nlohmann::json config = e.extra;
    const std::string key = e.key;
    config["name"] = e.name;
    config["unique_id"] = config["object_id"] = "radmon_" + id + "_" + key;
    config["state_topic"] = prefix + "/state";
    config["value_template"] = std::string(e.component) == "binary_sensor"
                                   ? "{{ 'ON' if value_json." + key + " else 'OFF' }}"
                                   : "{{ value_json." + key + " }}";
    config["availability_topic"] = prefix + "/availability";
    config["payload_available"] = kOnline;
    config["payload_not_available"] = kOffline;
    config["device"] = device;
    messages.push_back(
        {discoveryPrefix + "/" + e.component + "/radmon_" + id + "/" + key + "/config",
         config.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)});
  }
  return messages;
}

}  // namespace radmon
