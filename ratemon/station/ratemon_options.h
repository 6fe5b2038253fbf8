// ratemon's command line, declared once: its usage, --help, argument faults and man
// page come from here. A new option is one more entry in ratemonOptions() (with the
// forms it belongs to); its value is then read where its form is read (the windows'
// loop in main.cpp, parseHeadlessOptions for --headless).
#pragma once

#include "command_options.h"

namespace radmon {

enum RatemonMode { kRatemonWindows, kRatemonHeadless, kRatemonShowSettings, kRatemonSet };

const ProgramOptions& ratemonOptions();

}  // namespace radmon
