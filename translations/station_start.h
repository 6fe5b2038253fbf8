// The start ratemon and dayplot share before their own forms: the interface's language,
// --help, --man and the declaration's faults answered, --station and --lang judged, the
// station folder found (or made with --create) and its language taken up, and
// --show-settings / --set run. A start failure of the windows' form shows in a message
// box as well: started from the menu, it has no terminal.
#pragma once

#include <functional>
#include <string>
#include <variant>

#include "command_options.h"
#include "start_options.h"
#include "station_folder.h"

namespace radmon {

// A display named but out of reach counts as none: Qt would abort on it.
bool displayGiven();

struct StationStart {
  StationFolder station;
  OptionCheck options;  // the whole command line as `program` declares it
};

// Lists or changes the settings of the station folder; the exit status.
using SettingsCommandRun = std::function<int(const std::string& folder)>;

// The station to go on with, or the exit status the program ends with: 2 for a faulty
// command line, `stationRefused` when the folder cannot be used, else what --help or the
// settings command gave. `start` is main's (Qt keeps its argv); `argc`, `argv` as main
// got them.
std::variant<int, StationStart> startStation(int argc, char** argv, StartOptions& start,
                                             const ProgramOptions& program, int stationRefused,
                                             const SettingsCommandRun& runSettings);

}  // namespace radmon
