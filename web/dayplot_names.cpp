#include "dayplot_names.h"

#include <vector>

#include "settings_text.h"
#include "text_files.h"

namespace radmon {

std::string dayplotIniPath(const std::string& programFolder) {
  return programFolder + kDayplotIniName;
}

std::optional<DayplotNames> readDayplotNames(const std::string& programFolder) {
  const auto text = readTextFile(dayplotIniPath(programFolder));
  if (!text) return std::nullopt;
  const std::vector<SettingsField> fields = readSettingsFields(*text);
  const auto field = [&](size_t index) {
    return index < fields.size() ? fields[index].text : std::string();
  };
  return DayplotNames{field(kPlaceField), field(kGraphNameField)};
}

}  // namespace radmon
