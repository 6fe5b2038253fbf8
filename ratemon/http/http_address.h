// Where the live page listens: `--http [ADDR:]PORT`. A bare port listens on 127.0.0.1
// only; anything wider is asked for by address (0.0.0.0:8080, [::]:8080). No Qt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace radmon {

struct HttpAddress {
  std::string host = "127.0.0.1";  // a numeric IPv4 or IPv6 address, without brackets
  uint16_t port = 0;               // 0: any free port
};

std::optional<HttpAddress> parseHttpAddress(std::string_view text);
// As the operator writes it: 127.0.0.1:8080, [::1]:8080.
std::string httpAddressText(const HttpAddress& address);

}  // namespace radmon
