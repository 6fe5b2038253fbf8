// Where the readings go: the broker, the account and the topic prefix, named by one
// text, mqtt://[user[:password]@]host[:port]/topic/prefix (mqtts:// for TLS).
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>

namespace radmon {

struct MqttAddress {
  bool tls = false;
  std::string user;                     // empty: no account
  std::optional<std::string> password;  // only when the text carries one
  std::string host;
  int port = 1883;     // 8883 for mqtts:// unless given
  std::string prefix;  // "radmon/home": topics are prefix + "/state"...
};

enum class MqttAddressError {
  Scheme,  // neither mqtt:// nor mqtts://
  Host,    // no host
  Port,    // not a number from 1 to 65535
  Prefix,  // no topic prefix, or one with + or # or an empty level
};

// Reads the text; %XX escapes are undone in the user and password.
std::expected<MqttAddress, MqttAddressError> parseMqttAddress(std::string_view text);

// The text again, with the password left out (for messages and the settings file).
std::string addressText(const MqttAddress& address);

}  // namespace radmon
