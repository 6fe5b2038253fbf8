#include "graph_names.h"

namespace radmon {

std::string imageBaseName(std::string_view baseName, std::string_view targetDay,
                          std::string_view todayYyyymmdd) {
  std::string name(baseName);
  if (targetDay != todayYyyymmdd) {
    name += "_";
    name += targetDay;
  }
  return name;
}

std::string periodImageBaseName(std::string_view baseName, const Period& period) {
  return std::string(baseName) + "_" + period.name();
}

std::string screenGraphName(std::string_view graphName, std::string_view yyyymmdd) {
  return std::string(graphName) + "_" + std::string(yyyymmdd) + ".svg";
}

std::string periodScreenGraphName(std::string_view graphName, const Period& period) {
  return periodImageBaseName(graphName, period) + ".svg";
}

}  // namespace radmon
