// The public radiation maps the station sends its minutes to, kept in their own
// owner-only file beside ratemon.ini (which keeps its eleven fields), one "key=value" a
// line: per service on or off, its account, and its address (the service's own by
// default; a test names a local stand-in).
#pragma once

#include <array>
#include <expected>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "read_result.h"
#include "settings_edits.h"
#include "text_files.h"

namespace radmon {

enum class MapService { Radmon, Gmcmap, Safecast };
inline constexpr std::array<MapService, 3> kMapServices = {MapService::Radmon, MapService::Gmcmap,
                                                           MapService::Safecast};
// "radmon", "gmcmap", "safecast": the prefix of the service's keys and its queue file.
std::string_view mapServiceKey(MapService service);

struct MapsSettings {
  struct Radmon {
    bool on = false;
    std::string user, password;
    std::string url = "https://radmon.org/radmon.php";
    friend bool operator==(const Radmon&, const Radmon&) = default;
  } radmon;
  struct Gmcmap {
    bool on = false;
    std::string account, geiger;  // the account's and the counter's ids
    std::string url = "http://www.gmcmap.com/log2.asp";
    friend bool operator==(const Gmcmap&, const Gmcmap&) = default;
  } gmcmap;
  struct Safecast {
    bool on = false;
    std::string apiKey;
    std::string latitude, longitude;  // decimal degrees as typed, checked when set
    std::string deviceId;             // optional
    std::string url = "https://api.safecast.org/measurements.json";
    friend bool operator==(const Safecast&, const Safecast&) = default;
  } safecast;

  bool on(MapService service) const;
  friend bool operator==(const MapsSettings&, const MapsSettings&) = default;
};

inline constexpr const char* kMapsSettingsFileName = "ratemon_maps.ini";

// One line of the file, named once: `name` as ratemon --set takes it, the file's key the
// part after "maps.". A tick takes 1 or 0; an empty address is the service's own.
struct MapsLine {
  enum Kind { Tick, Text, Secret, Url };
  const char* name;
  Kind kind;
  std::string& (*text)(MapsSettings&) = nullptr;  // all but a tick
  bool& (*tick)(MapsSettings&) = nullptr;
  double degrees = 0;  // a latitude's or longitude's limit; empty is taken too
  ValueRule rule{};    // what ratemon --set tells it takes

  std::string_view fileKey() const { return std::string_view(name).substr(5); }
  // The value as the file writes it.
  std::string value(const MapsSettings& settings) const;
  // Whether the file takes `value`.
  bool takes(const std::string& value) const;
};
// The file's lines in their order.
std::span<const MapsLine> mapsLines();

// The file's settings over the defaults; no file gives the defaults and no issue.
ReadResult<MapsSettings, SettingsIssue> loadMapsSettings(const std::string& path);
std::string mapsSettingsText(const MapsSettings& settings);
// Owner-only, replaced whole; what failed when it cannot be written.
std::expected<void, WriteFault> saveMapsSettings(const std::string& path,
                                                 const MapsSettings& settings);

// A latitude (-90..90) or longitude (-180..180) as typed; false for anything else.
bool validDegrees(std::string_view text, double limit);

}  // namespace radmon
