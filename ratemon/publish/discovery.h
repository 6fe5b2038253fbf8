// Home Assistant discovery: retained config messages that make the dose rate, CPM,
// total count and both alarm stages entities of one device, with no typing.
#pragma once

#include <string>
#include <vector>

namespace radmon {

struct TopicMessage {
  std::string topic;
  std::string payload;
};

// The station's id in topics and unique ids: letters, digits, '_' and '-' of the name,
// anything else as '_'; "station" when nothing is left.
std::string stationId(const std::string& stationName);

// What Home Assistant shows for the device and its entities, worded by the program in
// the interface's language. `device` is put before the station's name.
struct DiscoveryNames {
  std::string device, doseRate, cpm, total, alarm1, alarm2, countUnit;
};

// The config messages under `discoveryPrefix` for the station whose topics start with
// `prefix` (state on prefix/state, availability on prefix/availability).
std::vector<TopicMessage> discoveryMessages(const std::string& stationName,
                                            const std::string& prefix,
                                            const std::string& discoveryPrefix,
                                            const DiscoveryNames& names);

inline constexpr const char* kOnline = "online";
inline constexpr const char* kOffline = "offline";

}  // namespace radmon
