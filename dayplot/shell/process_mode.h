// `dayplot --process YYYYMMDD`: one processing run without windows, for scripts and
// stations without a screen. The settings come from dayplot.ini exactly as the settings
// window would load them at start; the file is never written back.
#pragma once

#include <string>
#include <string_view>

#include "local_time.h"
#include "messages.h"

namespace radmon {

enum ProcessExit : int {
  kProcessDone = 0,       // images written, or none asked for
  kProcessNoDayFile = 1,  // the day file is missing
  kProcessFailed = 2,     // any other failure, with its message
};

// Runs `DrawDayGraph` for `targetDay` (yyyymmdd) with the settings of the program
// folder (ending with the separator). Needs a QGuiApplication. Never throws.
int runProcessMode(std::string_view targetDay, const std::string& programFolder,
                   MessageSink& messages, const Clock& clock);

}  // namespace radmon
