// Home Assistant discovery as made from a station id and name, clearing what older
// ratemons announced, and the station id file.
#include <fstream>
#include <set>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "discovery.h"
#include "station_identity.h"
#include "temp_station.h"

namespace radmon {
namespace {

const DiscoveryNames kNames{"Monitor", "Dose",   "CPM", "Total", "A1",
                            "A2",      "Health", "Low", "High",  "Lower bound"};

TEST(DiscoveryMessages, EachEntityAsHomeAssistantReadsIt) {
  // A name in any script is only shown; the id makes every id and topic.
  const auto messages = discoveryMessages({"k3x9ab2q", "東京 #2", "radmon/tokyo"}, "ha", kNames);
  struct Row {
    const char* topic;
    const char* name;
    const char* unit;  // nullptr: none
    const char* stateClass;
    const char* deviceClass;
    const char* valueTemplate;
  };
  const Row rows[] = {
      {"ha/sensor/radmon_k3x9ab2q/dose_rate/config", "Dose", "μSv/h", "measurement", nullptr,
       "{{ value_json.dose_rate }}"},
      {"ha/sensor/radmon_k3x9ab2q/cpm/config", "CPM", "CPM", "measurement", nullptr,
       "{{ value_json.cpm }}"},
      {"ha/sensor/radmon_k3x9ab2q/total/config", "Total", nullptr, "total_increasing", nullptr,
       "{{ value_json.total }}"},
      {"ha/binary_sensor/radmon_k3x9ab2q/alarm1/config", "A1", nullptr, nullptr, "safety",
       "{{ 'ON' if value_json.alarm1 else 'OFF' }}"},
      {"ha/binary_sensor/radmon_k3x9ab2q/alarm2/config", "A2", nullptr, nullptr, "safety",
       "{{ 'ON' if value_json.alarm2 else 'OFF' }}"},
      {"ha/sensor/radmon_k3x9ab2q/dose_rate_low/config", "Low", "μSv/h", "measurement", nullptr,
       "{{ value_json.dose95[0] if value_json.dose95 is defined else None }}"},
      {"ha/sensor/radmon_k3x9ab2q/dose_rate_high/config", "High", "μSv/h", "measurement", nullptr,
       "{{ value_json.dose95[1] if value_json.dose95 is defined and value_json.dose95[1] is not "
       "none else None }}"},
      {"ha/binary_sensor/radmon_k3x9ab2q/lower_bound/config", "Lower bound", nullptr, nullptr,
       "problem", "{{ 'ON' if value_json.lower_bound | default(false) else 'OFF' }}"},
      {"ha/sensor/radmon_k3x9ab2q/health/config", "Health", nullptr, nullptr, nullptr,
       "{{ value_json.health | default('unknown') }}"},
  };
  ASSERT_EQ(messages.size(), std::size(rows));
  std::set<std::string> uniqueIds, entityIds;
  for (size_t i = 0; i < messages.size(); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.topic);
    EXPECT_EQ(messages[i].topic, row.topic);
    const auto c = nlohmann::json::parse(messages[i].payload);
    EXPECT_EQ(c["name"], row.name);
    EXPECT_FALSE(c.contains("object_id")) << "no longer read by Home Assistant";
    const std::string component = messages[i].topic.substr(3, messages[i].topic.find('/', 3) - 3);
    const std::string entityId = c["default_entity_id"];
    EXPECT_EQ(entityId, component + "." + c["unique_id"].get<std::string>());
    EXPECT_TRUE(entityId.starts_with(component + ".radmon_k3x9ab2q_")) << entityId;
    uniqueIds.insert(c["unique_id"].get<std::string>());
    entityIds.insert(entityId);
    EXPECT_EQ(c.value("unit_of_measurement", ""), row.unit ? row.unit : "");
    EXPECT_EQ(c.value("state_class", ""), row.stateClass ? row.stateClass : "");
    EXPECT_EQ(c.value("device_class", ""), row.deviceClass ? row.deviceClass : "");
    EXPECT_EQ(c["value_template"], row.valueTemplate);
    EXPECT_EQ(c["state_topic"], "radmon/tokyo/state");
    EXPECT_EQ(c["availability_topic"], "radmon/tokyo/availability");
    EXPECT_EQ(c["payload_available"], kOnline);
    EXPECT_EQ(c["payload_not_available"], kOffline);
    EXPECT_EQ(c["expire_after"], kExpireAfterSeconds);
    EXPECT_EQ(c["device"]["identifiers"], nlohmann::json::array({"radmon_k3x9ab2q"}));
    EXPECT_EQ(c["device"]["name"], "Monitor 東京 #2");
    EXPECT_EQ(c["device"]["sw_version"], RADMON_VERSION);
    EXPECT_EQ(c["origin"]["name"], "radmon");
    EXPECT_EQ(c["origin"]["sw_version"], RADMON_VERSION);
  }
  EXPECT_EQ(uniqueIds.size(), messages.size());
  EXPECT_EQ(entityIds.size(), messages.size());
  // The entities of earlier versions keep their unique ids; the dose rate carries the
  // lower bound as an attribute too.
  for (const char* id : {"radmon_k3x9ab2q_dose_rate", "radmon_k3x9ab2q_alarm2",
                         "radmon_k3x9ab2q_dose_rate_high", "radmon_k3x9ab2q_lower_bound"})
    EXPECT_TRUE(uniqueIds.count(id)) << id;
  const auto dose = nlohmann::json::parse(messages[0].payload);
  EXPECT_EQ(dose["json_attributes_topic"], "radmon/tokyo/state");
  EXPECT_EQ(dose["json_attributes_template"],
            "{{ {'lower_bound': value_json.lower_bound | default(false)} | tojson }}");
}

TEST(DiscoveryMessages, OffMakesNothingAnywhere) {
  const DiscoveryStation station{"k3x9ab2q", "東京", "radmon/tokyo"};
  for (const char* prefix : {"off", ""}) {
    EXPECT_TRUE(discoveryMessages(station, prefix, kNames).empty()) << prefix;
    EXPECT_TRUE(formerDiscoveryClears(station, prefix).empty()) << prefix;
  }
}

// Earlier ratemons named their entities after the station's name (or the prefix's last level).
TEST(FormerDiscoveryClears, EmptyRetainedOnTheNameTopicsWhenTheyDiffer) {
  struct Row {
    DiscoveryStation station;
    const char* formerBase;  // nullptr: nothing to clear
  };
  const Row rows[] = {
      {{"k3x9ab2q", "東京", "radmon/tokyo"}, "homeassistant/sensor/radmon_station/"},
      {{"k3x9ab2q", "home", "radmon/siteA/home"}, "homeassistant/sensor/radmon_home/"},
      {{"kita", "Kita", "radmon/kita"}, nullptr},
  };
  for (const Row& row : rows) {
    const auto clears = formerDiscoveryClears(row.station, "homeassistant");
    if (!row.formerBase) {
      EXPECT_TRUE(clears.empty()) << row.station.name;
      continue;
    }
    ASSERT_EQ(clears.size(), 5u) << row.station.name;
    EXPECT_TRUE(clears[0].topic.starts_with(row.formerBase)) << clears[0].topic;
    EXPECT_EQ(clears[0].topic, std::string(row.formerBase) + "dose_rate/config");
    EXPECT_EQ(clears[4].topic,
              "homeassistant/binary_sensor/" +
                  std::string(row.formerBase).substr(std::string("homeassistant/sensor/").size()) +
                  "alarm2/config");
    for (const auto& m : clears) EXPECT_TRUE(m.payload.empty()) << m.topic;
  }
}

TEST(StationIdentity, MadeOnceThenKeptAndAChosenIdRead) {
  ftp::testing::TempStation temp{"radmon_station_id", "station", {}};
  const std::string path = (temp.program / kStationIdFileName).string();

  const StationIdentity made = loadStationIdentity(path);
  EXPECT_EQ(made.outcome, StationIdentity::Made);
  EXPECT_EQ(made.id.size(), 8u);
  EXPECT_TRUE(isStationId(made.id)) << made.id;
  const StationIdentity again = loadStationIdentity(path);
  EXPECT_EQ(again.outcome, StationIdentity::Kept);
  EXPECT_EQ(again.id, made.id);
  EXPECT_NE(newStationId(), newStationId());

  struct Row {
    const char* content;
    const char* id;  // nullptr: no id
  };
  const Row rows[] = {
      {"tokyo-1\n", "tokyo-1"},
      {"  Osaka_2 \r\nrest", "osaka_2"},
      {"", nullptr},
      {"東京\n", nullptr},
      {"a/b\n", nullptr},
      {"abcdefghijklmnopqrstuvwxyz0123456", nullptr},
      {"abcdefghijklmnopqrstuvwxyz012345", "abcdefghijklmnopqrstuvwxyz012345"},
  };
  for (const Row& row : rows) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << row.content;
    const StationIdentity read = loadStationIdentity(path);
    EXPECT_EQ(read.outcome, row.id ? StationIdentity::Kept : StationIdentity::BadContent)
        << row.content;
    EXPECT_EQ(read.id, row.id ? row.id : "") << row.content;
  }

  const StationIdentity unsaved = loadStationIdentity((temp.program / "none" / "id.txt").string());
  EXPECT_EQ(unsaved.outcome, StationIdentity::NotSaved);
  EXPECT_TRUE(isStationId(unsaved.id));
}

}  // namespace
}  // namespace radmon
