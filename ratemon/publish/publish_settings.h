// The publishing settings, kept in their own file beside ratemon.ini (which keeps its
// eleven fields): one "key=value" a line. The file is written owner-only, since it may
// hold the broker password; a password is never written anywhere else.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace radmon {

struct PublishSettings {
  std::string url;                             // mqtt://[user@]host[:port]/prefix; empty: off
  std::string password;                        // used when the url carries none
  std::string discoveryPrefix = "homeassistant";
  std::string caFile;                          // empty: the system's certificate store
  std::string stationName;                     // empty: the last level of the prefix
  bool live = false;                           // per-second readings on prefix/live

  friend bool operator==(const PublishSettings&, const PublishSettings&) = default;
};

inline constexpr const char* kPublishSettingsFileName = "ratemon_mqtt.ini";

enum class PublishSettingsIssue {
  Unreadable,        // the file exists but cannot be read
  PasswordExposed,   // it holds a password and others may read it
  UnknownLine,       // a line that is no known key=value
};

struct LoadedPublishSettings {
  PublishSettings settings;
  std::vector<PublishSettingsIssue> issues;
};

// The file's settings over the defaults; no file gives the defaults and no issue.
LoadedPublishSettings loadPublishSettings(const std::string& path);
std::string publishSettingsText(const PublishSettings& settings);
// Owner-only, replaced whole; an error text when it cannot be written.
std::optional<std::string> savePublishSettings(const std::string& path,
                                               const PublishSettings& settings);

}  // namespace radmon
