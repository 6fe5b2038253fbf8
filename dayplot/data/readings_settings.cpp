#include "readings_settings.h"

#include <filesystem>

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
  for (const auto& [line, key, value] : keyValueLines(*text)) {
    if (key == "mean_interval" && (value == "1" || value == "0")) {
      loaded.settings.meanInterval = value == "1";
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
