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

// The config messages under `discoveryPrefix` for the station whose topics start with
// `prefix` (state on prefix/state, availability on prefix/availability).
std::vector<TopicMessage> discoveryMessages(const std::string& stationName,
                                            const std::string& prefix,
                                            const std::string& discoveryPrefix);

inline constexpr const char* kOnline = "online";
inline constexpr const char* kOffline = "offline";

}  // namespace radmon
