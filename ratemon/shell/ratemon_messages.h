// Every sentence ratemon says to the operator, in the interface's language, for the
// window and the headless loop alike. The core reports facts (Notice); this unit words
// them. The texts go through Qt's translation so that other languages can be added.
#pragma once

#include <cstdint>
#include <string>

#include "station_link.h"
#include "station_panel.h"

namespace radmon::messages {

std::string notice(const Notice& notice);
// The sentences about one file or source: its path or text is put in.
enum class About { settingsUnreadable, sourceUnopenable, dayplotMissing, dayplotNotStarted };
std::string about(About what, const std::string& subject);
std::string alarmStarted(int stage, float grossDoseRate, float limit);
std::string hoursDone(int64_t hours);

// Publishing over MQTT.
std::string mqttAddress(AddressError error, const std::string& url);
std::string linkNotice(const LinkNotice& notice);
// Empty for what needs no telling (the link closing at the end).
std::string linkEvent(const LinkEvent& event);
std::string linkUnsent(size_t records);
// The window's one line: the link's state, the last acknowledged record, what waits.
std::string linkStatus(const LinkStatus& status);
// The same in a few words beside the MQTT button: the state and the last publish's time.
std::string linkStatusShort(const LinkStatus& status);
std::string linkOff();

}  // namespace radmon::messages
