// The folder on the server that "cd" has moved to, kept on the client so that every
// upload can name its target in one URL. Relative folders start at the login folder,
// as a fresh FTP login does; "/" starts at the server's root.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace radmon::ftp {

class ServerFolder {
 public:
  // The folder after "cd path" (path with '/' separators; ".." and "." understood).
  // ".." above the login folder is kept, since the login folder may itself be deep.
  ServerFolder changedTo(std::string_view path) const;

  // URL path, percent-encoded, of the folder itself with a trailing '/'
  // (e.g. "/pub/graph/"), or of a file in it when `fileName` is given.
  std::string urlPath(std::string_view fileName = {}) const;

  // The same for an SFTP URL: relative folders start at the login folder ("/~/").
  std::string sftpUrlPath(std::string_view fileName = {}) const;
  // The path of a file in it as SFTP commands take it, not encoded (relative ones
  // relative, since the server counts them from the login folder).
  std::string sftpPath(std::string_view fileName) const;

  // For messages: "pub/graph", "/pub", "." for the login folder.
  std::string display() const;

  bool operator==(const ServerFolder&) const = default;

 private:
  // `path`, then each folder and `fileName`, percent-encoded when `encoded`.
  std::string joined(std::string path, std::string_view fileName, bool encoded) const;

  bool absolute_ = false;
  std::vector<std::string> parts_;
};

// RFC 3986 percent-encoding of one path segment: everything but unreserved characters.
std::string percentEncode(std::string_view segment);

}  // namespace radmon::ftp
