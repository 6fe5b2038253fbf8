// What a consumer keeping one record per time makes of the state messages: the record
// lines (without their line ends) of the states later than the last one kept. Shared by
// the publisher's tests and the headless station's.
#pragma once

#include <string>
#include <vector>

#include "state_message.h"

namespace radmon::testing {

inline std::vector<std::string> keptLines(const std::vector<std::string>& payloads) {
  std::vector<std::string> kept;
  std::string last;
  for (const auto& p : payloads) {
    const auto state = parseStateJson(p);
    if (!state || state->isoTime() <= last) continue;
    last = state->isoTime();
    const std::string line = recordLineOf(*state);
    kept.push_back(line.substr(0, line.size() - 2));
  }
  return kept;
}

}  // namespace radmon::testing
