#include "server_folder.h"

#include <curl/curl.h>

namespace radmon::ftp {

ServerFolder ServerFolder::changedTo(std::string_view path) const {
  ServerFolder next = *this;
  if (!path.empty() && path.front() == '/') {
    next.absolute_ = true;
    next.parts_.clear();
  }
  while (!path.empty()) {
    const auto cut = path.find('/');
    const std::string_view part = path.substr(0, cut);
    path.remove_prefix(cut == std::string_view::npos ? path.size() : cut + 1);
    if (part.empty() || part == ".") continue;
    if (part != "..") {
      next.parts_.emplace_back(part);
    } else if (!next.parts_.empty() && next.parts_.back() != "..") {
      next.parts_.pop_back();
    } else if (!next.absolute_) {
      next.parts_.emplace_back("..");  // the server knows what lies above the login folder
    }
  }
  return next;
}

std::string ServerFolder::joined(std::string path, std::string_view fileName, bool encoded) const {
  for (const auto& part : parts_) path += (encoded ? percentEncode(part) : part) + "/";
  return path + (encoded ? percentEncode(fileName) : std::string(fileName));
}

std::string ServerFolder::urlPath(std::string_view fileName) const {
  // "%2F" as the first segment makes the client change to the root before the rest.
  return joined(absolute_ ? "/%2F/" : "/", fileName, true);
}

std::string ServerFolder::sftpUrlPath(std::string_view fileName) const {
  return joined(absolute_ ? "/" : "/~/", fileName, true);
}

std::string ServerFolder::sftpPath(std::string_view fileName) const {
  // The server takes a relative path from the login folder.
  return joined(absolute_ ? "/" : "", fileName, false);
}

std::string ServerFolder::display() const {
  std::string text = absolute_ ? "/" : "";
  for (std::size_t i = 0; i < parts_.size(); ++i) text += (i ? "/" : "") + parts_[i];
  return text.empty() ? "." : text;
}

std::string percentEncode(std::string_view segment) {
  // URL parsing drops "." and ".." segments; encoded they reach the server as written.
  if (segment == "." || segment == "..") return segment == "." ? "%2E" : "%2E%2E";
  if (segment.empty()) return {};  // a length of 0 would have libcurl measure the text
  char* escaped = curl_easy_escape(nullptr, segment.data(), static_cast<int>(segment.size()));
  std::string out = escaped ? escaped : "";
  curl_free(escaped);
  return out;
}

}  // namespace radmon::ftp
