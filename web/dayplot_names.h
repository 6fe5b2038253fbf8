// The names dayplot.ini gives the station and its graphs: its first field, the place (the
// station's name on the graphs and the page), and its third, the graphs' base name.
// dayplot reads them with all its settings (dayplot_settings.h); ratemon's live page reads
// them alone, so that it names the station and finds the graphs as dayplot does.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace radmon {

inline constexpr const char* kDayplotIniName = "dayplot.ini";
inline constexpr size_t kPlaceField = 0;
inline constexpr size_t kGraphNameField = 2;
inline constexpr std::string_view kDefaultGraphName = "μSVHGraph";

// program folder + "dayplot.ini".
std::string dayplotIniPath(const std::string& programFolder);

struct DayplotNames {
  std::string place;
  std::string graphName;
};

// The names in the program folder's dayplot.ini, a field the file does not hold read as
// empty (as dayplot reads it); none when there is no such file or it cannot be read.
std::optional<DayplotNames> readDayplotNames(const std::string& programFolder);

}  // namespace radmon
