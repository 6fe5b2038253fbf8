#include "host_keys.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/sha.h>

#include <cctype>
#include <optional>
#include <vector>

#include "text_files.h"

namespace radmon::ftp {
namespace {

constexpr unsigned kSshPort = 22;

std::string base64(std::string_view bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                     reinterpret_cast<const unsigned char*>(bytes.data()),
                                     static_cast<int>(bytes.size()));
  out.resize(static_cast<size_t>(length));
  return out;
}

std::optional<std::string> unbase64(std::string_view text) {
  if (text.empty() || text.size() % 4 != 0) return std::nullopt;
  std::string out(text.size() / 4 * 3, '\0');
  const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                     reinterpret_cast<const unsigned char*>(text.data()),
                                     static_cast<int>(text.size()));
  if (length < 0) return std::nullopt;
  size_t padding = 0;
  while (padding < 2 && text[text.size() - 1 - padding] == '=') ++padding;
  out.resize(static_cast<size_t>(length) - padding);
  return out;
}

// The key type named at the blob's start (a 32-bit length, then the name).
std::string keyType(std::string_view blob) {
  if (blob.size() < 4) return {};
  const auto byte = [&](size_t i) {
    return static_cast<size_t>(static_cast<unsigned char>(blob[i]));
  };
  const size_t length = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
  if (length > blob.size() - 4) return {};
  return std::string(blob.substr(4, length));
}

// "|1|salt|hash": HMAC-SHA1 of the name keyed with the salt.
bool hashedNameIs(std::string_view pattern, std::string_view name) {
  pattern.remove_prefix(3);
  const size_t bar = pattern.find('|');
  if (bar == std::string_view::npos) return false;
  const auto salt = unbase64(pattern.substr(0, bar));
  const auto hash = unbase64(pattern.substr(bar + 1));
  if (!salt || !hash) return false;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (HMAC(EVP_sha1(), salt->data(), static_cast<int>(salt->size()),
           reinterpret_cast<const unsigned char*>(name.data()), name.size(), digest,
           &length) == nullptr)
    return false;
  return std::string_view(reinterpret_cast<const char*>(digest), length) == *hash;
}

bool patternIs(std::string_view pattern, std::string_view name) {
  return pattern.starts_with("|1|") ? hashedNameIs(pattern, name) : pattern == name;
}

std::vector<std::string_view> split(std::string_view text, char at) {
  std::vector<std::string_view> parts;
  while (true) {
    const size_t end = text.find(at);
    parts.push_back(text.substr(0, end));
    if (end == std::string_view::npos) return parts;
    text.remove_prefix(end + 1);
  }
}

// OpenSSH's host patterns: '*' any run of characters, '?' any one, letters in either case.
bool wildcardMatches(std::string_view pattern, std::string_view name) {
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  };
  size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// One host line: its marker ("@revoked", empty for none), its names, and the key's
// base64 (the type is inside the blob).
struct Entry {
  std::string_view marker;
  std::string_view names;
  std::string_view key;
};

std::optional<Entry> entryOf(std::string_view line) {
  line = trimmed(line);
  if (line.empty() || line.front() == '#') return std::nullopt;
  std::vector<std::string_view> fields;
  for (std::string_view field : split(line, ' '))
    if (!trimmed(field).empty()) fields.push_back(trimmed(field));
  const size_t first = !fields.empty() && fields.front().front() == '@' ? 1 : 0;
  if (fields.size() < first + 3) return std::nullopt;
  return Entry{first == 1 ? fields[0] : std::string_view(), fields[first], fields[first + 2]};
}

// Whether the line stands for `name`: one of its patterns does and none of its negated
// ones ("!pattern"). Without `wildcards` a pattern stands only for itself, as the lines
// this program wrote by host alone do.
bool names(const Entry& entry, std::string_view name, bool wildcards = false) {
  bool named = false;
  for (std::string_view pattern : split(entry.names, ',')) {
    const bool negated = pattern.starts_with('!');
    if (negated) pattern.remove_prefix(1);
    const bool hit = wildcards && !pattern.starts_with("|1|") ? wildcardMatches(pattern, name)
                                                              : patternIs(pattern, name);
    if (hit && negated) return false;
    named = named || hit;
  }
  return named;
}

}  // namespace

std::string knownHostName(std::string_view host, unsigned port) {
  if (port == kSshPort) return std::string(host);
  std::string name = "[";
  name.append(host).append("]:").append(std::to_string(port));
  return name;
}

HostKeyLookup lookUpHostKey(std::string_view knownHosts, std::string_view host, unsigned port,
                            std::string_view blob) {
  const std::string key = base64(blob);
  const std::string ownName = knownHostName(host, port);
  // A revoked key is refused, whatever else is said of it.
  for (const std::string_view line : textLines(knownHosts)) {
    const auto entry = entryOf(line);
    if (entry && entry->marker == "@revoked" && entry->key == key &&
        (names(*entry, ownName, true) || names(*entry, host, true)))
      return {HostKeyMatch::Revoked};
  }
  // The server's own entries decide, wildcard ones too; an entry by host alone was kept
  // for whatever port an earlier version used, and counts only where the port has none.
  for (const bool own : {true, false}) {
    const std::string_view name = own ? std::string_view(ownName) : host;
    bool named = false;
    for (const std::string_view line : textLines(knownHosts)) {
      const auto entry = entryOf(line);
      if (!entry || !entry->marker.empty() || !names(*entry, name, own)) continue;
      named = true;
      if (entry->key == key) return {HostKeyMatch::Known, !own};
    }
    if (named) return {HostKeyMatch::Changed};
    if (port == kSshPort) break;
  }
  return {};
}

std::string withHostKey(std::string_view knownHosts, std::string_view host, unsigned port,
                        std::string_view blob) {
  const std::string ownName = knownHostName(host, port);
  const std::string key = base64(blob);
  // An entry by host alone with this very key was this port's: it moves to the port.
  const auto taken = [&](std::string_view pattern, const Entry& entry) {
    return patternIs(pattern, ownName) ||
           (port != kSshPort && entry.key == key && patternIs(pattern, host));
  };
  std::string text;
  for (const std::string_view line : textLines(knownHosts)) {
    const auto entry = entryOf(line);
    std::string others;  // the other names of a shared line keep their key
    bool any = false;
    if (entry && entry->marker.empty()) {
      for (const std::string_view pattern : split(entry->names, ',')) {
        if (taken(pattern, *entry))
          any = true;
        else
          others.append(others.empty() ? "" : ",").append(pattern);
      }
    }
    if (!any) {
      text.append(line).push_back('\n');
    } else if (!others.empty()) {
      const size_t rest =
          static_cast<size_t>(entry->names.data() - line.data()) + entry->names.size();
      text.append(others).append(line.substr(rest)).push_back('\n');
    }
  }
  return text + ownName + " " + keyType(blob) + " " + key + "\n";
}

std::string hostKeyFingerprint(std::string_view blob) {
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(blob.data()), blob.size(), digest);
  std::string text = base64(std::string_view(reinterpret_cast<const char*>(digest), sizeof digest));
  while (!text.empty() && text.back() == '=') text.pop_back();
  return text.insert(0, "SHA256:");
}

namespace {

bool keep(HostKeyCheck& check, std::string_view knownHosts, std::string_view blob) {
  const std::string text = withHostKey(knownHosts, check.host, check.port, blob);
  check.unsaved = !writeTextFile(check.path, text, /*ownerOnly=*/true);
  return !check.unsaved;
}

int onHostKey(void* self, int, const char* key, size_t length) {
  auto& check = *static_cast<HostKeyCheck*>(self);
  const std::string_view blob(key, length);
  const std::string knownHosts = readTextFile(check.path).value_or("");
  check.fingerprint = hostKeyFingerprint(blob);
  check.keyType = keyType(blob);
  check.unsaved = false;
  const HostKeyLookup found = lookUpHostKey(knownHosts, check.host, check.port, blob);
  switch (found.match) {
    case HostKeyMatch::Known:
      check.event = HostKeyEvent::Known;
      // Kept by host alone: from now on under its port too.
      if (found.byHostOnly) keep(check, knownHosts, blob);
      return CURLKHMATCH_OK;
    case HostKeyMatch::New:
      if (!check.askNew || check.trusted.contains(check.fingerprint)) {
        check.event = HostKeyEvent::Kept;
        keep(check, knownHosts, blob);
        return CURLKHMATCH_OK;
      }
      break;
    case HostKeyMatch::Changed:
      break;
    case HostKeyMatch::Revoked:
      check.event = HostKeyEvent::Revoked;
      return CURLKHMATCH_MISMATCH;
  }
  if (check.trusted.contains(check.fingerprint)) {
    check.event = HostKeyEvent::Replaced;
    keep(check, knownHosts, blob);
    return CURLKHMATCH_OK;
  }
  if (check.trustedOnce == check.fingerprint) {
    check.event = HostKeyEvent::TrustedOnce;
    return CURLKHMATCH_OK;
  }
  check.event = found.match == HostKeyMatch::New ? HostKeyEvent::RefusedNew : HostKeyEvent::Refused;
  return CURLKHMATCH_MISMATCH;
}

}  // namespace

void installHostKeyCheck(CURL* handle, HostKeyCheck& check) {
  curl_easy_setopt(handle, CURLOPT_SSH_HOSTKEYFUNCTION, &onHostKey);
  curl_easy_setopt(handle, CURLOPT_SSH_HOSTKEYDATA, &check);
}

}  // namespace radmon::ftp
