#include "maps_settings.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <iterator>

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

namespace {

template <auto service, auto field>
auto& member(MapsSettings& s) {
  return s.*service.*field;
}

constexpr ValueRule kAddress{ValueRule::Any, 0, 0,
                             QT_TRANSLATE_NOOP("Options", "http:// か https:// で始まるアドレス")};
constexpr ValueRule kLatitude{
    ValueRule::Any, 0, 0, QT_TRANSLATE_NOOP("Options", "-90 から 90 までの度 (10 進)、または空")};
constexpr ValueRule kLongitude{
    ValueRule::Any, 0, 0, QT_TRANSLATE_NOOP("Options", "-180 から 180 までの度 (10 進)、または空")};

using M = MapsSettings;
const MapsLine kLines[] = {
    {"maps.radmon.on", MapsLine::Tick, nullptr, member<&M::radmon, &M::Radmon::on>},
    {"maps.radmon.user", MapsLine::Text, member<&M::radmon, &M::Radmon::user>},
    {"maps.radmon.password", MapsLine::Secret, member<&M::radmon, &M::Radmon::password>},
    {"maps.radmon.url", MapsLine::Url, member<&M::radmon, &M::Radmon::url>, nullptr, 0, kAddress},
    {"maps.gmcmap.on", MapsLine::Tick, nullptr, member<&M::gmcmap, &M::Gmcmap::on>},
    {"maps.gmcmap.account", MapsLine::Secret, member<&M::gmcmap, &M::Gmcmap::account>},
    {"maps.gmcmap.geiger", MapsLine::Secret, member<&M::gmcmap, &M::Gmcmap::geiger>},
    {"maps.gmcmap.url", MapsLine::Url, member<&M::gmcmap, &M::Gmcmap::url>, nullptr, 0, kAddress},
    {"maps.safecast.on", MapsLine::Tick, nullptr, member<&M::safecast, &M::Safecast::on>},
    {"maps.safecast.api_key", MapsLine::Secret, member<&M::safecast, &M::Safecast::apiKey>},
    {"maps.safecast.latitude", MapsLine::Text, member<&M::safecast, &M::Safecast::latitude>,
     nullptr, 90, kLatitude},
    {"maps.safecast.longitude", MapsLine::Text, member<&M::safecast, &M::Safecast::longitude>,
     nullptr, 180, kLongitude},
    {"maps.safecast.device_id", MapsLine::Text, member<&M::safecast, &M::Safecast::deviceId>},
    {"maps.safecast.url", MapsLine::Url, member<&M::safecast, &M::Safecast::url>, nullptr, 0,
     kAddress},
};

}  // namespace

std::span<const MapsLine> mapsLines() { return kLines; }

std::string MapsLine::value(const MapsSettings& settings) const {
  auto& s = const_cast<MapsSettings&>(settings);  // only read
  return tick ? (tick(s) ? "1" : "0") : text(s);
}

bool MapsLine::takes(const std::string& value) const {
  if (kind == Tick) return value == "0" || value == "1";
  return degrees == 0 || value.empty() || validDegrees(value, degrees);
}

ReadResult<MapsSettings, SettingsIssue> loadMapsSettings(const std::string& path) {
  ReadResult<MapsSettings, SettingsIssue> loaded;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return loaded;
  const auto text = readTextFile(path);
  if (!text) return {{}, {{0, SettingsIssue::Unreadable, {}}}};
  MapsSettings& s = loaded.value;
  for (const auto& [whole, key, valueText, number] : keyValueLines(*text)) {
    const auto line = std::find_if(std::begin(kLines), std::end(kLines),
                                   [&](const MapsLine& l) { return l.fileKey() == key; });
    const std::string value(valueText.value_or(""));
    if (!valueText || line == std::end(kLines))
      loaded.issues.push_back({number, SettingsIssue::UnknownLine, std::string(whole)});
    else if (!line->takes(value))
      loaded.issues.push_back({number, SettingsIssue::BadValue, std::string(key)});
    else if (line->tick)
      line->tick(s) = value == "1";
    else if (!value.empty() || line->kind != MapsLine::Url)  // no address: the service's own
      line->text(s) = value;
  }
  const bool secrets =
      !s.radmon.password.empty() || !s.gmcmap.account.empty() || !s.safecast.apiKey.empty();
  if (secrets && (st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
    loaded.issues.push_back({0, SettingsIssue::PasswordExposed, {}});
  return loaded;
}

std::string mapsSettingsText(const MapsSettings& s) {
  std::string text;
  for (const MapsLine& line : kLines)
    text.append(line.fileKey()).append("=").append(oneLine(line.value(s))).append("\n");
  return text;
}

std::expected<void, WriteFault> saveMapsSettings(const std::string& path, const MapsSettings& s) {
  return writeTextFile(path, mapsSettingsText(s), true);
}

}  // namespace radmon
