// Who a station is on the broker: a short id made once, at its first start with a
// broker, and kept in a file of its own in the station folder. The id names the client,
// the unique ids and the discovery topics; the station's name is only what people read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace radmon {

inline constexpr const char* kStationIdFileName = "ratemon_station_id.txt";

// 1 to 32 of a-z, 0-9, '_' and '-': what Home Assistant takes into an entity id unchanged.
bool isStationId(std::string_view text);

// Eight random characters of a-z and 2-7.
std::string newStationId();

struct StationIdentity {
  enum Outcome {
    Kept,        // read from the file
    Made,        // new, written to the file
    NotSaved,    // new, but the file could not be written: another id next start
    BadContent,  // the file holds no id; `id` is empty
  };
  Outcome outcome = Kept;
  std::string id;
};

// The id in `path` (its first line, upper case read as lower), or a new one written
// there when the file does not exist.
StationIdentity loadStationIdentity(const std::string& path);

}  // namespace radmon
