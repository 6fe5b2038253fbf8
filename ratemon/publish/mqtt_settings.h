// The publishing settings, kept in their own file beside ratemon.ini (which keeps its
// eleven fields): one "key=value" a line. The file is written owner-only, since it may
// hold the broker password; a password is never written anywhere else.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "read_result.h"
#include "text_files.h"

namespace radmon {

struct MqttSettings {
  std::string url;       // mqtt://[user@]host[:port]/prefix; empty: off
  std::string password;  // used when the url carries none
  std::string discoveryPrefix = "homeassistant";
  std::string caFile;       // empty: the system's certificate store
  std::string stationName;  // empty: the last level of the prefix
  bool live = false;        // per-second readings on prefix/live

  friend bool operator==(const MqttSettings&, const MqttSettings&) = default;
};

inline constexpr const char* kMqttSettingsFileName = "ratemon_mqtt.ini";

// The file's lines in their order, each named once: `name` as ratemon --set takes it,
// the file's key the part after "mqtt.". A text, or a tick (1 or 0).
struct MqttLine {
  const char* name;
  std::string MqttSettings::*text = nullptr;
  bool MqttSettings::*tick = nullptr;
  std::string_view fileKey() const { return std::string_view(name).substr(5); }
};
inline constexpr MqttLine kMqttLines[] = {
    {"mqtt.url", &MqttSettings::url},
    {"mqtt.password", &MqttSettings::password},
    {"mqtt.discovery", &MqttSettings::discoveryPrefix},
    {"mqtt.ca_file", &MqttSettings::caFile},
    {"mqtt.station", &MqttSettings::stationName},
    {"mqtt.live", nullptr, &MqttSettings::live},
};

// The file's settings over the defaults; no file gives the defaults and no issue.
ReadResult<MqttSettings, SettingsIssue> loadMqttSettings(const std::string& path);
std::string mqttSettingsText(const MqttSettings& settings);
// Owner-only, replaced whole; what failed when it cannot be written.
std::expected<void, WriteFault> saveMqttSettings(const std::string& path,
                                                 const MqttSettings& settings);

}  // namespace radmon
