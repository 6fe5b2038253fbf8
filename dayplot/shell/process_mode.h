// `dayplot --process YYYYMMDD`: one processing run without windows, for scripts and
// stations without a screen. The settings come from dayplot.ini exactly as the settings
// window would load them at start; the file is never written back. With FTP transfer
// ticked (`Check5`) the run uploads the day's JPEG after drawing and, unlike the
// settings window, waits for the FTP client so that its caller learns the outcome.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "dayplot_messages.h"
#include "local_time.h"
#include "process_launcher.h"

namespace radmon {

enum ProcessExit : int {
  kProcessDone = 0,       // images written, or none asked for
  kProcessNoDayFile = 1,  // the day file is missing
  kProcessFailed = 2,     // any other failure, with its message
  // The upload failed, with the client's reason; this outranks 1 and 2, whose messages
  // still appear, since a graph that did not reach the server is what the operator
  // must hear about first.
  kProcessUploadFailed = 3,
};

// How long the run waits for the FTP client before stopping it and calling the upload
// failed; the client gives up on a silent server well before that.
inline constexpr std::chrono::minutes kUploadWaitLimit{10};

// Runs `DrawDayGraph` for `targetDay` (yyyymmdd) with the settings of the program
// folder (ending with the separator), then `UploadDayGraph` through `launcher` when
// `Check5` is ticked, also when the day file was missing (the JPEG of an earlier run,
// if any, is sent). Needs a QGuiApplication. Never throws.
int runProcessMode(std::string_view targetDay, const std::string& programFolder,
                   MessageSink& messages, const Clock& clock, ProcessLauncher& launcher);

}  // namespace radmon
