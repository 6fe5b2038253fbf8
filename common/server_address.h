// The server box of the publishing settings read as an address: "host", "host port",
// "host:port", "[v6addr]:port", "ftp://host[:port]", "ftps://host[:port]" and
// "sftp://host[:port]". Pure text work, shared by dayplot (to refuse a bad box before
// anything is written) and ftpscript (to connect).
#pragma once

#include <expected>
#include <string>
#include <string_view>

namespace radmon {

enum class Transport {
  Ftp,   // plain FTP, TLS taken when the server offers it (or required by the settings)
  Ftps,  // explicit TLS (AUTH TLS), required from the first reply on
  Sftp,  // SSH file transfer
};

struct ServerAddress {
  Transport transport = Transport::Ftp;
  std::string host;  // IPv6 literals without their brackets
  unsigned port = 21;

  // "host:port" or "[v6]:port", the key the station remembers a server by.
  std::string key() const;
  // The URL start for libcurl: "ftp://host:port" or "sftp://[::1]:22".
  std::string urlBase() const;
};

enum class AddressError {
  Empty,         // nothing in the box
  BadPort,       // port not a number from 1 to 65535
  BadScheme,     // "http://" and other schemes
  BadHost,       // blanks, slashes, unclosed bracket, a path after the host
  TooManyWords,  // more than "host port"
};

// `words` as they follow "open" in a script, or the server box split at blanks.
std::expected<ServerAddress, AddressError> parseServerAddress(std::string_view text);

}  // namespace radmon
