#include "http_address.h"

#include <arpa/inet.h>

#include <charconv>

namespace radmon {

std::optional<HttpAddress> parseHttpAddress(std::string_view text) {
  HttpAddress address;
  std::string_view port = text;
  const size_t colon = text.rfind(':');
  if (colon != std::string_view::npos) {
    std::string_view host = text.substr(0, colon);
    port = text.substr(colon + 1);
    const bool bracketed = host.size() >= 2 && host.front() == '[' && host.back() == ']';
    if (bracketed) host = host.substr(1, host.size() - 2);
    unsigned char bytes[16];
    const std::string h(host);
    const bool v6 = inet_pton(AF_INET6, h.c_str(), bytes) == 1;
    // An IPv6 address is written in brackets, so that its colons are not the port's.
    if (v6 != bracketed || (!v6 && inet_pton(AF_INET, h.c_str(), bytes) != 1)) return std::nullopt;
    address.host = h;
  }
  unsigned value = 0;
  const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
  if (port.empty() || error != std::errc() || end != port.data() + port.size() || value > 65535)
    return std::nullopt;
  address.port = static_cast<uint16_t>(value);
  return address;
}

std::string httpAddressText(const HttpAddress& address) {
  const bool v6 = address.host.find(':') != std::string::npos;
  return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

}  // namespace radmon
