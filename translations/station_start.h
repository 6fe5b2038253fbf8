// The start ratemon and dayplot share: the interface's language, --help, --man and the
// declaration's faults, the station folder and its language, --show-settings and --set.
// A start failure of the windows' form shows in a message box as well: started from the
// menu, it has no terminal.
#pragma once

#include <expected>
#include <functional>
#include <iostream>
#include <string>

#include "command_options.h"
#include "start_options.h"
#include "station_folder.h"
#include "ui_translator.h"

namespace radmon {

// A display named but out of reach counts as none: Qt would abort on it.
bool displayGiven();

struct StationStart {
  StationFolder station;
  OptionCheck options;  // the whole command line as `program` declares it
};

// Lists or changes the settings of the station folder; the exit status.
using SettingsCommandRun =
    std::function<int(const std::string& folder, const SettingsCommand& command)>;

// The settings command on the files `read` gives and `save` writes.
template <class Files>
SettingsCommandRun settingsCommandOn(const std::vector<SettingKey<Files>>& keys,
                                     std::expected<Files, std::string> (*read)(const std::string&),
                                     std::expected<void, std::string> (*save)(const std::string&,
                                                                              const Files&,
                                                                              const Files&)) {
  return [&keys, read, save](const std::string& folder, const SettingsCommand& command) {
    auto files = read(folder);
    if (!files) {
      std::cerr << files.error() << std::endl;
      return 1;
    }
    return runSettingsCommand<Files>(
        command, keys, *files,
        [&](const Files& before, const Files& after) { return save(folder, before, after); },
        std::cout, std::cerr);
  };
}

// The station to go on with, or the exit status the program ends with: 2 for a faulty
// command line, `stationRefused` when the folder cannot be used, else what --help or the
// settings command gave. `start` is main's (Qt keeps its argv); `argc`, `argv` as main
// got them.
std::expected<StationStart, int> startStation(int argc, char** argv, StartOptions& start,
                                              const ProgramOptions& program, int stationRefused,
                                              const SettingsCommandRun& runSettings);

}  // namespace radmon
