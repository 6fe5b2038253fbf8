#include "map_request.h"

#include <charconv>
#include <ctime>

#include "day_record.h"
#include "number_text.h"

namespace radmon {
namespace {

// "2026-03-02T00:01:00Z"
std::string utcText(int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buffer;
}

// Degrees as typed, in the shortest form that reads back the same.
std::string degreesText(const std::string& typed) {
  const auto value = readNumber(typed);
  return value ? shortestText(*value) : std::string("0");
}

std::string withQuery(const std::string& url, const std::string& query) {
  return url + (url.find('?') == std::string::npos ? "?" : "&") + query;
}

}  // namespace

std::optional<MapReading> mapReadingOf(std::string_view recordLine, std::optional<int64_t> after) {
  const auto record = parseRecordLine(recordLine);
  if (!record || !record->cpm) return std::nullopt;
  const auto when = record->when();
  if (!when) return std::nullopt;
  return MapReading{utcSecondsAfter(*when, after), record->date, record->time, *record->cpm,
                    record->dose};
}

std::string queueLine(const MapReading& r) {
  return integerText(r.utcSeconds) + "," + r.date + "," + r.time + "," + integerText(r.cpm) + "," +
         shortestText(r.dose);
}

std::optional<MapReading> readQueueLine(std::string_view line) {
  std::string_view fields[5];
  for (int i = 0; i < 5; ++i) {
    const size_t comma = line.find(',');
    if ((comma == std::string_view::npos) != (i == 4)) return std::nullopt;
    fields[i] = line.substr(0, comma);
    line.remove_prefix(i == 4 ? line.size() : comma + 1);
  }
  MapReading r;
  auto whole = [](std::string_view text, int64_t& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
  };
  const auto dose = readNumber(fields[4]);
  if (!whole(fields[0], r.utcSeconds) || !whole(fields[3], r.cpm) || !dose) return std::nullopt;
  r.date = std::string(fields[1]);
  r.time = std::string(fields[2]);
  r.dose = static_cast<float>(*dose);
  return r;
}

bool takesPastReadings(MapService service) { return service == MapService::Safecast; }

std::string urlEncoded(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' ||
        u == '.' || u == '_' || u == '~') {
      out += c;
    } else {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 15];
    }
  }
  return out;
}

MapRequest mapRequest(MapService service, const MapsSettings& s, const MapReading& r) {
  const std::string cpm = integerText(r.cpm);
  switch (service) {
    case MapService::Radmon:
      return {"GET",
              withQuery(s.radmon.url, "function=submit&user=" + urlEncoded(s.radmon.user) +
                                          "&password=" + urlEncoded(s.radmon.password) +
                                          "&value=" + cpm + "&unit=CPM"),
              "", ""};
    case MapService::Gmcmap:
      return {"GET",
              withQuery(s.gmcmap.url, "AID=" + urlEncoded(s.gmcmap.account) +
                                          "&GID=" + urlEncoded(s.gmcmap.geiger) + "&CPM=" + cpm +
                                          "&uSV=" + shortestText(r.dose)),
              "", ""};
    case MapService::Safecast: {
      std::string body;
      auto field = [&body](std::string_view key, std::string_view value) {
        std::string name = "measurement[";
        name.append(key).append("]");
        body.append(body.empty() ? "" : "&").append(urlEncoded(name)).append("=");
        body.append(urlEncoded(value));
      };
      field("captured_at", utcText(r.utcSeconds));
      if (!s.safecast.deviceId.empty()) field("device_id", s.safecast.deviceId);
      field("latitude", degreesText(s.safecast.latitude));
      field("longitude", degreesText(s.safecast.longitude));
      field("unit", "cpm");
      field("value", cpm);
      return {"POST", withQuery(s.safecast.url, "api_key=" + urlEncoded(s.safecast.apiKey)),
              "application/x-www-form-urlencoded", body};
    }
  }
  return {};
}

}  // namespace radmon
