// Every text radmon-collect shows its operator.
#pragma once

#include <string>

#include "collector.h"
#include "command_options.h"
#include "mqtt_address.h"

namespace radmon::collect_messages {

// The declaration of radmon-collect's options: usage, --help and man page.
const ProgramOptions& options();
std::string usage();
std::string badAddress(MqttAddressError error);
std::string badArgument(const std::string& argument);
std::string collected(Collected outcome, const std::string& topic, const std::string& detail);
std::string connected(const std::string& address);
std::string connectionLost();
std::string linkError(const std::string& detail);
std::string refused(const std::string& reason);
std::string cannotStart(const std::string& reason);
std::string summary(long written, size_t stillMissing);
std::string asking(const MissingSpan& span);
std::string missing(const MissingSpan& span);
std::string instance(const std::string& clientId);
std::string logNotWritten(const std::string& path);

}  // namespace radmon::collect_messages
