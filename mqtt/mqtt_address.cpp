#include "mqtt_address.h"

#include <cctype>

#include "number_text.h"

namespace radmon {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A password may hold '@', ':' or '/' only escaped, as in any URL.
std::string unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

bool validPrefix(std::string_view prefix) {
  if (prefix.empty() || prefix.front() == '/' || prefix.back() == '/') return false;
  if (prefix.find("//") != std::string_view::npos) return false;
  return prefix.find_first_of("+#") == std::string_view::npos;
}

}  // namespace

std::expected<MqttAddress, MqttAddressError> parseMqttAddress(std::string_view text) {
  MqttAddress a;
  if (text.starts_with("mqtt://")) {
    text.remove_prefix(7);
  } else if (text.starts_with("mqtts://")) {
    text.remove_prefix(8);
    a.tls = true;
    a.port = 8883;
  } else {
    return std::unexpected(MqttAddressError::Scheme);
  }
  const size_t slash = text.find('/');
  std::string_view authority = text.substr(0, slash);
  std::string_view path = slash == std::string_view::npos ? "" : text.substr(slash + 1);

  // The last '@' ends the account, so an unescaped '@' in a password still works.
  if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
    const std::string_view account = authority.substr(0, at);
    authority.remove_prefix(at + 1);
    const size_t colon = account.find(':');
    a.user = unescape(account.substr(0, colon));
    if (colon != std::string_view::npos) a.password = unescape(account.substr(colon + 1));
  }
  std::string_view host = authority;
  if (const size_t colon = authority.rfind(':');
      colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
    host = authority.substr(0, colon);
    const std::string_view port = authority.substr(colon + 1);
    const auto number = readCount(port, 1, 65535);
    if (!number) return std::unexpected(MqttAddressError::Port);
    a.port = *number;
  }
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  if (host.empty()) return std::unexpected(MqttAddressError::Host);
  a.host = std::string(host);
  if (!validPrefix(path)) return std::unexpected(MqttAddressError::Prefix);
  a.prefix = std::string(path);
  return a;
}

std::string addressText(const MqttAddress& a) {
  std::string text = a.tls ? "mqtts://" : "mqtt://";
  if (!a.user.empty()) text += a.user + "@";
  const bool ipv6 = a.host.find(':') != std::string::npos;
  if (ipv6) text += '[';
  text += a.host;
  if (ipv6) text += ']';
  text += ":" + std::to_string(a.port) + "/" + a.prefix;
  return text;
}

}  // namespace radmon
