#include "mqtt_settings.h"

#include <sys/stat.h>

#include <algorithm>
#include <iterator>

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
  for (const auto& [whole, key, valueText, number] : keyValueLines(*text)) {
    const std::string value(valueText.value_or(""));
    const auto line = std::find_if(std::begin(kMqttLines), std::end(kMqttLines),
                                   [&](const MqttLine& l) { return l.fileKey() == key; });
    if (!valueText || line == std::end(kMqttLines))
      loaded.issues.push_back({number, SettingsIssue::UnknownLine, std::string(whole)});
    else if (line->tick)
      s.*line->tick = value == "1" || value == "true";
    else  // empty: the default
      s.*line->text = value.empty() ? MqttSettings{}.*line->text : value;
  }
  if (!s.password.empty() && (st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
    loaded.issues.push_back({0, SettingsIssue::PasswordExposed, {}});
  return loaded;
}

std::string mqttSettingsText(const MqttSettings& s) {
  std::string text;
  for (const MqttLine& line : kMqttLines)
    text.append(line.fileKey())
        .append("=")
        .append(line.tick ? (s.*line.tick ? "1" : "0") : oneLine(s.*line.text))
        .append("\n");
  return text;
}

std::expected<void, WriteFault> saveMqttSettings(const std::string& path, const MqttSettings& s) {
  return writeTextFile(path, mqttSettingsText(s), true);
}

}  // namespace radmon
