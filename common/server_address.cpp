#include "server_address.h"

#include <optional>
#include <vector>

#include "number_text.h"
#include "text_files.h"

namespace radmon {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::vector<std::string_view> words(std::string_view text) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && isBlank(text[i])) ++i;
    const size_t start = i;
    while (i < text.size() && !isBlank(text[i])) ++i;
    if (i > start) out.push_back(text.substr(start, i - start));
  }
  return out;
}

bool plainHost(std::string_view host) {
  if (host.empty()) return false;
  for (const char c : host) {
    if (c == '/' || c == '\\' || c == '@' || c == '[' || c == ']' || c == '?' || c == '#' ||
        static_cast<unsigned char>(c) < 0x21) {
      return false;
    }
  }
  return true;
}

// "host", "host:port", "[v6]", "[v6]:port", or a bare IPv6 literal (two colons or more).
std::expected<ServerAddress, AddressError> hostAndPort(std::string_view text,
                                                       ServerAddress address) {
  std::string_view host = text;
  std::optional<std::string_view> port;
  if (!text.empty() && text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return std::unexpected(AddressError::BadHost);
    host = text.substr(1, close - 1);
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::unexpected(AddressError::BadHost);
      port = rest.substr(1);
    }
    if (host.find(':') == std::string_view::npos) return std::unexpected(AddressError::BadHost);
  } else if (const size_t colon = text.find(':'); colon != std::string_view::npos) {
    if (text.find(':', colon + 1) == std::string_view::npos) {
      host = text.substr(0, colon);
      port = text.substr(colon + 1);
    }
  }
  if (!plainHost(host)) return std::unexpected(AddressError::BadHost);
  address.host = std::string(host);
  if (port) {
    const auto number = readCount(*port, 1, 65535);
    if (!number) return std::unexpected(AddressError::BadPort);
    address.port = *number;
  }
  return address;
}

}  // namespace

std::string ServerAddress::key() const {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string ServerAddress::urlBase() const {
  return std::string(transport == Transport::Sftp ? "sftp://" : "ftp://") + key();
}

std::expected<ServerAddress, AddressError> parseServerAddress(std::string_view text) {
  const auto parts = words(text);
  if (parts.empty()) return std::unexpected(AddressError::Empty);
  if (parts.size() > 2) return std::unexpected(AddressError::TooManyWords);

  ServerAddress address;
  std::string_view first = parts.front();
  const size_t scheme = first.find("://");
  if (scheme != std::string_view::npos) {
    const std::string name = lowerAscii(first.substr(0, scheme));
    if (name == "ftp") {
      address.transport = Transport::Ftp;
    } else if (name == "ftps") {
      address.transport = Transport::Ftps;
    } else if (name == "sftp") {
      address.transport = Transport::Sftp;
      address.port = 22;
    } else {
      return std::unexpected(AddressError::BadScheme);
    }
    first.remove_prefix(scheme + 3);
    // "ftp://host/" is how a browser writes it; anything after the slash is a path,
    // which belongs in the sub-folder box.
    if (!first.empty() && first.back() == '/') first.remove_suffix(1);
  }
  auto result = hostAndPort(first, address);
  if (!result || parts.size() == 1) return result;
  // "host port": the Windows client's own form; a port given twice is one too many.
  if (result->port != address.port) return std::unexpected(AddressError::TooManyWords);
  const auto port = readCount(parts[1], 1, 65535);
  if (!port) return std::unexpected(AddressError::BadPort);
  result->port = *port;
  return result;
}

}  // namespace radmon
