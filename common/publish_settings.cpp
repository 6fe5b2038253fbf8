#include "publish_settings.h"

#include <filesystem>
#include <vector>

#include "number_text.h"
#include "text_files.h"

namespace radmon {
namespace {

// The items of a comma-separated value; an empty value has none.
std::vector<std::string_view> commaItems(std::string_view value) {
  std::vector<std::string_view> items;
  while (!value.empty()) {
    const size_t comma = value.find(',');
    items.push_back(value.substr(0, comma));
    value.remove_prefix(comma == std::string_view::npos ? value.size() : comma + 1);
  }
  return items;
}

}  // namespace

std::string commaJoined(const std::set<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ",") + item;
  return text;
}

std::string publishSettingsPath(const std::string& programFolder) {
  return programFolder + "dayplot_publish.ini";
}

std::string tlsMemoryPath(const std::string& settingsPath) {
  return deriveFolder(settingsPath) + "dayplot_tls_servers.txt";
}

std::string trustOncePath(const std::string& settingsPath) {
  return deriveFolder(settingsPath) + "dayplot_trust_once.txt";
}

std::string knownHostsPath(const std::string& settingsPath) {
  return deriveFolder(settingsPath) + "dayplot_known_hosts";
}

std::optional<std::string> normalFingerprint(std::string_view text) {
  std::string hex;
  for (const char c : text) {
    if (c == ':' || c == ' ') continue;
    const char upper = c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
    if ((upper < '0' || upper > '9') && (upper < 'A' || upper > 'F')) return std::nullopt;
    hex.push_back(upper);
  }
  if (hex.size() != 64) return std::nullopt;
  return hex;
}

std::optional<std::string> normalHostKeyFingerprint(std::string_view text) {
  constexpr std::string_view kPrefix = "SHA256:";
  text = trimmed(text);
  if (text.starts_with(kPrefix)) text.remove_prefix(kPrefix.size());
  while (text.ends_with('=')) text.remove_suffix(1);
  // 32 bytes in base64 are 43 digits, the last of them one of 16.
  if (text.size() != 43) return std::nullopt;
  for (const char c : text) {
    const bool digit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '+' || c == '/';
    if (!digit) return std::nullopt;
  }
  return std::string(kPrefix) + std::string(text);
}

std::string shownFingerprint(std::string_view fingerprint) {
  std::string out;
  for (size_t i = 0; i < fingerprint.size(); i += 2) {
    if (i > 0) out.push_back(':');
    out.append(fingerprint.substr(i, 2));
  }
  return out;
}

ReadResult<PublishSettings, SettingsIssue> parsePublishSettings(std::string_view text) {
  ReadResult<PublishSettings, SettingsIssue> read;
  PublishSettings& settings = read.value;
  for (const auto& [line, name, valueText, number] : keyValueLines(text)) {
    bool usable = true;
    const std::string_view value = valueText.value_or("");
    if (!valueText) {
      read.issues.push_back({number, SettingsIssue::UnknownLine, std::string(line)});
    } else if (name == kTlsRequired) {
      settings.tlsRequired = value == "1";
      usable = value == "0" || value == "1";
    } else if (name == kCertificateFile) {
      settings.trustedCertificateFile = std::string(value);
    } else if (name == kFingerprints) {
      for (const std::string_view item : commaItems(value)) {
        const auto print = normalFingerprint(trimmed(item));
        if (print) settings.trustedFingerprints.insert(*print);
        usable = usable && print;
      }
    } else if (name == kHostKeys) {
      for (const std::string_view item : commaItems(value)) {
        const auto print = normalHostKeyFingerprint(item);
        if (print) settings.trustedHostKeys.insert(*print);
        usable = usable && print;
      }
    } else if (name == kKeyFile) {
      settings.keyFile = std::string(value);
    } else if (name == kRetryMinutes) {
      const auto minutes = readCount(value, kMinRetryMinutes, kMaxRetryMinutes);
      settings.retryMinutes = minutes.value_or(settings.retryMinutes);
      usable = minutes.has_value();
    } else if (name == kPublishPage) {
      settings.publishPage = value == "1";
      usable = value == "0" || value == "1";
    }
    if (!usable) read.issues.push_back({number, SettingsIssue::BadValue, std::string(name)});
  }
  return read;
}

ReadResult<PublishSettings, SettingsIssue> readPublishSettings(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return {};
  const auto text = readTextFile(path);
  return text
             ? parsePublishSettings(*text)
             : ReadResult<PublishSettings, SettingsIssue>{{}, {{0, SettingsIssue::Unreadable, {}}}};
}

std::string publishSettingsText(const PublishSettings& s) {
  const std::string hostKeys = commaJoined(s.trustedHostKeys);
  auto line = [](std::string_view name, const std::string& value) {
    return std::string(name) + "=" + value + "\n";
  };
  return line(kTlsRequired, s.tlsRequired ? "1" : "0") +
         line(kCertificateFile, s.trustedCertificateFile) +
         line(kFingerprints, commaJoined(s.trustedFingerprints)) + line(kKeyFile, s.keyFile) +
         line(kRetryMinutes, std::to_string(s.retryMinutes)) +
         (hostKeys.empty() ? "" : line(kHostKeys, hostKeys)) +
         // Written only when asked for: the file of a station without a page stays as it was.
         (s.publishPage ? line(kPublishPage, "1") : "");
}

std::expected<void, std::string> writePublishSettings(const std::string& path,
                                                      const PublishSettings& settings) {
  return faultText(path, writeTextFile(path, publishSettingsText(settings), /*ownerOnly=*/true));
}

std::set<std::string> readServerList(const std::string& path) {
  std::set<std::string> servers;
  if (const auto text = readTextFile(path)) {
    for (const std::string_view line : textLines(*text))
      if (!trimmed(line).empty()) servers.emplace(trimmed(line));
  }
  return servers;
}

namespace {

std::expected<void, std::string> writeServerList(const std::string& path,
                                                 const std::set<std::string>& servers) {
  std::string text;
  for (const auto& server : servers) text += server + "\n";
  return faultText(path, writeTextFile(path, text, /*ownerOnly=*/true));
}

}  // namespace

std::expected<void, std::string> rememberServer(const std::string& path,
                                                const std::string& serverKey) {
  std::set<std::string> servers = readServerList(path);
  if (!servers.insert(serverKey).second) return {};
  return writeServerList(path, servers);
}

std::expected<void, std::string> forgetServer(const std::string& path,
                                              const std::string& serverKey) {
  std::set<std::string> servers = readServerList(path);
  if (servers.erase(serverKey) == 0) return {};
  return writeServerList(path, servers);
}

}  // namespace radmon
