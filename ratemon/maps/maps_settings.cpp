#include "maps_settings.h"

#include <sys/stat.h>

#include <cmath>

#include "number_text.h"
#include "settings_text.h"

namespace radmon {

std::string_view mapServiceKey(MapService service) {
  switch (service) {
    case MapService::Radmon:
      return "radmon";
    case MapService::Gmcmap:
      return "gmcmap";
    case MapService::Safecast:
      return "safecast";
  }
  return "";
}

bool MapsSettings::on(MapService service) const {
  switch (service) {
    case MapService::Radmon:
      return radmon.on;
    case MapService::Gmcmap:
      return gmcmap.on;
    case MapService::Safecast:
      return safecast.on;
  }
  return false;
}

bool validDegrees(std::string_view text, double limit) {
  const auto value = readNumber(text);
  return value && std::isfinite(*value) && std::fabs(*value) <= limit;
}

ReadResult<MapsSettings, SettingsIssue> loadMapsSettings(const std::string& path) {
  ReadResult<MapsSettings, SettingsIssue> loaded;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return loaded;
  const auto text = readTextFile(path);
  if (!text) return {{}, {{0, SettingsIssue::Unreadable, {}}}};
  MapsSettings& s = loaded.value;
  bool secrets = false;
  for (const auto& [line, key, valueText, number] : keyValueLines(*text)) {
    if (!valueText) {
      loaded.issues.push_back({number, SettingsIssue::UnknownLine, std::string(line)});
      continue;
    }
    const std::string value(*valueText);
    bool usable = true;
    auto tick = [&](bool& field) {
      usable = value == "0" || value == "1";
      if (usable) field = value == "1";
    };
    auto text = [&](std::string& field) { field = value; };
    auto url = [&](std::string& field) {
      if (!value.empty()) field = value;
    };
    if (key == "radmon.on")
      tick(s.radmon.on);
    else if (key == "radmon.user")
      text(s.radmon.user);
    else if (key == "radmon.password")
      text(s.radmon.password);
    else if (key == "radmon.url")
      url(s.radmon.url);
    else if (key == "gmcmap.on")
      tick(s.gmcmap.on);
    else if (key == "gmcmap.account")
      text(s.gmcmap.account);
    else if (key == "gmcmap.geiger")
      text(s.gmcmap.geiger);
    else if (key == "gmcmap.url")
      url(s.gmcmap.url);
    else if (key == "safecast.on")
      tick(s.safecast.on);
    else if (key == "safecast.api_key")
      text(s.safecast.apiKey);
    else if (key == "safecast.device_id")
      text(s.safecast.deviceId);
    else if (key == "safecast.url")
      url(s.safecast.url);
    else if (key == "safecast.latitude") {
      usable = value.empty() || validDegrees(value, 90);
      if (usable) s.safecast.latitude = value;
    } else if (key == "safecast.longitude") {
      usable = value.empty() || validDegrees(value, 180);
      if (usable) s.safecast.longitude = value;
    } else {
      loaded.issues.push_back({number, SettingsIssue::UnknownLine, std::string(line)});
      continue;
    }
    if (!usable) loaded.issues.push_back({number, SettingsIssue::BadValue, std::string(key)});
  }
  secrets = !s.radmon.password.empty() || !s.gmcmap.account.empty() || !s.safecast.apiKey.empty();
  if (secrets && (st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
    loaded.issues.push_back({0, SettingsIssue::PasswordExposed, {}});
  return loaded;
}

std::string mapsSettingsText(const MapsSettings& s) {
  std::string text;
  auto line = [&text](const char* key, const std::string& value) {
    text += std::string(key) + "=" + oneLine(value) + "\n";
  };
  auto tick = [&line](const char* key, bool on) { line(key, on ? "1" : "0"); };
  tick("radmon.on", s.radmon.on);
  line("radmon.user", s.radmon.user);
  line("radmon.password", s.radmon.password);
  line("radmon.url", s.radmon.url);
  tick("gmcmap.on", s.gmcmap.on);
  line("gmcmap.account", s.gmcmap.account);
  line("gmcmap.geiger", s.gmcmap.geiger);
  line("gmcmap.url", s.gmcmap.url);
  tick("safecast.on", s.safecast.on);
  line("safecast.api_key", s.safecast.apiKey);
  line("safecast.latitude", s.safecast.latitude);
  line("safecast.longitude", s.safecast.longitude);
  line("safecast.device_id", s.safecast.deviceId);
  line("safecast.url", s.safecast.url);
  return text;
}

std::expected<void, WriteFault> saveMapsSettings(const std::string& path, const MapsSettings& s) {
  return writeTextFile(path, mapsSettingsText(s), true);
}

}  // namespace radmon
