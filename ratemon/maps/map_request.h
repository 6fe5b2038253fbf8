// One minute's reading as the maps take it, and the request each service documents for
// it (docs/maps.md). Numbers are written without the locale: a German desktop still
// sends "0.123", never "0,123".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "maps_settings.h"

namespace radmon {

struct MapReading {
  int64_t utcSeconds = 0;  // the minute's end, seconds since 1970 in UTC
  std::string date, time;  // the record line's "yyyy/mm/dd" and "hh:mm"
  int64_t cpm = 0;
  float dose = 0;  // μSv/h
  // The mean CPM of this run's minutes up to this one, as a counter's own running average
  // (GMCmap's ACPM); none for a minute that did not come through a sender.
  std::optional<double> acpm{};

  friend bool operator==(const MapReading&, const MapReading&) = default;
};

// The reading of a record line; none for a line that is no record or names no moment.
// In the hour repeated when the clocks go back, its moment is the first after `after`
// (the last reading's, UTC): the minutes of both passes reach the maps an hour apart.
std::optional<MapReading> mapReadingOf(std::string_view recordLine,
                                       std::optional<int64_t> after = std::nullopt);

// A queue file's line and back: "utcSeconds,date,time,cpm,dose[,acpm]".
std::string queueLine(const MapReading& reading);
std::optional<MapReading> readQueueLine(std::string_view line);

struct MapRequest {
  std::string method;  // "GET" or "POST"
  std::string url;     // with its query
  std::string contentType;
  std::string body;

  friend bool operator==(const MapRequest&, const MapRequest&) = default;
};

// Whether the service files a reading under the moment it was taken; those that do not
// take only the current reading, so a backlog sends its newest and skips the rest.
bool takesPastReadings(MapService service);

// The request that sends `reading` to `service`.
MapRequest mapRequest(MapService service, const MapsSettings& settings, const MapReading& reading);

// What a service's answer to a request says. radmon.org and GMCmap answer every request
// with 200 and say in the body whether they took it (docs/maps.md).
enum class MapAnswer {
  Taken,
  HttpRefused,     // a status outside 2xx
  WrongPassword,   // radmon.org: "Incorrect login."
  UnknownUser,     // radmon.org: asks to register
  UnknownAccount,  // GMCmap: "ERR1"
  UnknownCounter,  // GMCmap: "ERR2"
  Unexpected,      // a 2xx whose body says neither success nor a known refusal
};
MapAnswer judgeAnswer(MapService service, long status, std::string_view body);

}  // namespace radmon
