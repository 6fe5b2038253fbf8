// Home Assistant discovery: retained config messages that make the dose rate, CPM,
// total count, both alarm stages, the lower bound and the sound path's health entities
// of one device, with no typing.
#pragma once

#include <string>
#include <vector>

namespace radmon {

struct TopicMessage {
  std::string topic;
  std::string payload;
};

// A text as a topic level or id: letters, digits, '_' and '-' of it, anything else as
// '_'; "station" when nothing is left. How earlier ratemons named a station's
// discovery from its name, and how the collector names its client.
std::string stationId(const std::string& stationName);

// What Home Assistant shows for the device and its entities, worded by the program in
// the interface's language. `device` is put before the station's name.
struct DiscoveryNames {
  std::string device, doseRate, cpm, total, alarm1, alarm2, health;
  std::string doseLow, doseHigh;  // the ends of the dose rate's 95 % interval
  std::string lowerBound;         // the reading is a lower bound
};

struct DiscoveryStation {
  std::string id;      // station_identity.h: in unique ids, entity ids and topics
  std::string name;    // any text; the device's name after names.device
  std::string prefix;  // state on prefix/state, availability on prefix/availability
};

// The discovery prefix that turns discovery off ("off"); no messages are made for it.
inline constexpr const char* kDiscoveryOff = "off";
bool discoveryOff(const std::string& discoveryPrefix);

// The config messages under `discoveryPrefix`; none when discovery is off.
std::vector<TopicMessage> discoveryMessages(const DiscoveryStation& station,
                                            const std::string& discoveryPrefix,
                                            const DiscoveryNames& names);

// Empty retained messages on the config topics that earlier ratemons made from the
// station's name, where they differ from `station`'s: Home Assistant then removes the
// stale device. None when discovery is off.
std::vector<TopicMessage> formerDiscoveryClears(const DiscoveryStation& station,
                                                const std::string& discoveryPrefix);

// A sensor goes unavailable when no record has come for this long (records come each
// minute; the availability topic tells a clean end or a lost connection at once).
inline constexpr int kExpireAfterSeconds = 180;

inline constexpr const char* kOnline = "online";
inline constexpr const char* kOffline = "offline";

}  // namespace radmon
