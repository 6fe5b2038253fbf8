// Every sentence ratemon says to the operator, in the interface's language, for the
// window and the headless loop alike. The core reports facts (Notice); this unit words
// them. The texts go through Qt's translation so that other languages can be added.
#pragma once

#include <cstdint>
#include <string>

#include "station_panel.h"

namespace radmon::messages {

std::string notice(const Notice& notice);
std::string settingsUnreadable(const std::string& path);
std::string sourceUnopenable(const std::string& sourceText);
std::string dayplotMissing(const std::string& path);
std::string dayplotNotStarted(const std::string& path);
std::string alarmStarted(int stage, float grossDoseRate, float limit);
std::string hoursDone(int64_t hours);

}  // namespace radmon::messages
