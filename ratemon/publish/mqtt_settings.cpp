#include "mqtt_settings.h"

#include <sys/stat.h>

#include "settings_text.h"
#include "text_files.h"

namespace radmon {

ReadResult<MqttSettings, SettingsIssue> loadMqttSettings(const std::string& path) {
  ReadResult<MqttSettings, SettingsIssue> loaded;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return loaded;
  const auto text = readTextFile(path);
  if (!text) return {{}, {{0, SettingsIssue::Unreadable, {}}}};
  MqttSettings& s = loaded.value;
  for (const auto& [line, key, valueText, number] : keyValueLines(*text)) {
    const std::string value(valueText.value_or(""));
    if (!valueText)
      loaded.issues.push_back({number, SettingsIssue::UnknownLine, std::string(line)});
    else if (key == "url")
      s.url = value;
    else if (key == "password")
      s.password = value;
    else if (key == "discovery")
      s.discoveryPrefix = value.empty() ? s.discoveryPrefix : value;
    else if (key == "ca_file")
      s.caFile = value;
    else if (key == "station")
      s.stationName = value;
    else if (key == "live")
      s.live = value == "1" || value == "true";
    else
      loaded.issues.push_back({number, SettingsIssue::UnknownLine, std::string(line)});
  }
  if (!s.password.empty() && (st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
    loaded.issues.push_back({0, SettingsIssue::PasswordExposed, {}});
  return loaded;
}

std::string mqttSettingsText(const MqttSettings& s) {
  return "url=" + oneLine(s.url) + "\npassword=" + oneLine(s.password) +
         "\ndiscovery=" + oneLine(s.discoveryPrefix) + "\nca_file=" + oneLine(s.caFile) +
         "\nstation=" + oneLine(s.stationName) + "\nlive=" + (s.live ? "1" : "0") + "\n";
}

std::expected<void, WriteFault> saveMqttSettings(const std::string& path, const MqttSettings& s) {
  return writeTextFile(path, mqttSettingsText(s), true);
}

}  // namespace radmon
