#include "readings_settings.h"

#include <filesystem>
#include <string_view>

#include "text_files.h"

namespace radmon {

LoadedReadingsSettings loadReadingsSettings(const std::string& path) {
  LoadedReadingsSettings loaded;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return loaded;
  const auto text = readTextFile(path);
  if (!text) {
    loaded.unreadable = true;
    return loaded;
  }
  std::string_view rest(*text);
  while (!rest.empty()) {
    const size_t end = std::min(rest.find('\n'), rest.size());
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    if (line.empty() || line.front() == '#') continue;
    if (line == "mean_interval=1" || line == "mean_interval=0") {
      loaded.settings.meanInterval = line.back() == '1';
    } else {
      loaded.unknownLines.emplace_back(line);
    }
  }
  return loaded;
}

std::string readingsSettingsText(const ReadingsSettings& settings) {
  return std::string("mean_interval=") + (settings.meanInterval ? "1" : "0") + "\r\n";
}

}  // namespace radmon
