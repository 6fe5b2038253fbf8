#include "station_identity.h"

#include <sys/stat.h>

#include <random>

#include "text_files.h"

namespace radmon {

bool isStationId(std::string_view text) {
  if (text.empty() || text.size() > 32) return false;
  // By byte value, not the C library's classes, which follow the locale.
  for (const char c : text)
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-')) return false;
  return true;
}

std::string newStationId() {
  static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz234567";
  std::random_device device;
  std::uniform_int_distribution<int> pick(0, 31);
  std::string id;
  for (int i = 0; i < 8; ++i) id += kAlphabet[pick(device)];
  return id;
}

StationIdentity loadStationIdentity(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    const auto text = readTextFile(path);
    std::string id;
    if (text) {
      const std::string_view first = std::string_view(*text).substr(0, text->find_first_of("\r\n"));
      for (const char c : lowerAscii(first))
        if (c != ' ' && c != '\t') id += c;
    }
    if (!isStationId(id)) return {StationIdentity::BadContent, {}};
    return {StationIdentity::Kept, id};
  }
  const std::string id = newStationId();
  const bool saved = writeTextFile(path, id + "\n", false).has_value();
  return {saved ? StationIdentity::Made : StationIdentity::NotSaved, id};
}

}  // namespace radmon
