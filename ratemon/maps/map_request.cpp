#include "map_request.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <ctime>

#include <curl/curl.h>

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

// Two decimals are all a running average of counts needs.
std::string averageText(double cpm) { return shortestText(std::round(cpm * 100) / 100); }

// A query or form value with all but RFC 3986's unreserved characters percent-encoded.
std::string urlEncoded(std::string_view text) {
  if (text.empty()) return {};  // a length of 0 would have libcurl measure the text
  char* escaped = curl_easy_escape(nullptr, text.data(), static_cast<int>(text.size()));
  std::string out = escaped ? escaped : "";
  curl_free(escaped);
  return out;
}

bool holds(std::string_view body, std::string_view word) {
  return body.find(word) != std::string_view::npos;
}

bool holdsAnyCase(std::string_view body, std::string_view word) {
  return std::search(body.begin(), body.end(), word.begin(), word.end(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         }) != body.end();
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
         shortestText(r.dose) + (r.acpm ? "," + averageText(*r.acpm) : "");
}

std::optional<MapReading> readQueueLine(std::string_view line) {
  // Five fields, or six with the running average (lines of older runs have none).
  std::string_view fields[6];
  int count = 0;
  while (count < 6) {
    const size_t comma = line.find(',');
    fields[count++] = line.substr(0, comma);
    if (comma == std::string_view::npos) break;
    line.remove_prefix(comma + 1);
  }
  if (count < 5 || line.find(',') != std::string_view::npos) return std::nullopt;
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
  if (count == 6) {
    r.acpm = readNumber(fields[5]);
    if (!r.acpm) return std::nullopt;
  }
  return r;
}

MapAnswer judgeAnswer(MapService service, long status, std::string_view body) {
  if (status < 200 || status > 299) return MapAnswer::HttpRefused;
  // The refusals first: a refusal's text may well hold the letters "OK" somewhere.
  switch (service) {
    case MapService::Radmon:
      if (holdsAnyCase(body, "incorrect")) return MapAnswer::WrongPassword;
      if (holdsAnyCase(body, "register")) return MapAnswer::UnknownUser;
      return holds(body, "OK") ? MapAnswer::Taken : MapAnswer::Unexpected;
    case MapService::Gmcmap:
      if (holds(body, "ERR1")) return MapAnswer::UnknownAccount;
      if (holds(body, "ERR2")) return MapAnswer::UnknownCounter;
      return holds(body, "OK") ? MapAnswer::Taken : MapAnswer::Unexpected;
    case MapService::Safecast:
      return MapAnswer::Taken;
  }
  return MapAnswer::Unexpected;
}

bool takesPastReadings(MapService service) { return service == MapService::Safecast; }

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
              withQuery(s.gmcmap.url, "AID=" + urlEncoded(s.gmcmap.account) + "&GID=" +
                                          urlEncoded(s.gmcmap.geiger) + "&CPM=" + cpm + "&ACPM=" +
                                          averageText(r.acpm.value_or(static_cast<double>(r.cpm))) +
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
