#include "station_identity.h"

#include <sys/stat.h>

#include <cctype>
#include <random>

#include "text_files.h"

namespace radmon {

bool isStationId(std::string_view text) {
  if (text.empty() || text.size() > 32) return false;
  for (unsigned char c : text)
    if (!(std::islower(c) || std::isdigit(c) || c == '_' || c == '-')) return false;
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
      for (unsigned char c : first)
        if (!std::isspace(c)) id += static_cast<char>(std::tolower(c));
    }
    if (!isStationId(id)) return {StationIdentity::BadContent, {}};
    return {StationIdentity::Kept, id};
  }
  const std::string id = newStationId();
  const bool saved = !writeTextFile(path, id + "\n", false);
  return {saved ? StationIdentity::Made : StationIdentity::NotSaved, id};
}

}  // namespace radmon
