// `dayplot --process YYYYMMDD`: one processing run without windows, for scripts and
// stations without a screen. The settings come from dayplot.ini exactly as the settings
// window would load them at start; the file is never written back. It drives a
// publishing session for one drawing: with upload ticked the session sends the JPEG and,
// unlike the settings window, this waits for the FTP client so that its caller learns the
// outcome. It keeps the upload queue as the other modes do: a graph that reached the
// server is not sent again with the page, and a failed upload waits in the queue until
// an upload of a later run (of any mode) succeeds, or its retry time in a running dayplot.
#pragma once

#include <chrono>
#include <iostream>
#include <string>
#include <string_view>

#include "dayplot_messages.h"
#include "local_time.h"
#include "period_table.h"
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

// The session's `runDay` for `targetDay` (yyyymmdd) with the settings of the program
// folder (ending with the separator), waiting for the upload; the script, which holds the
// password, is removed at the end. The day's figures go to `figures` as one
// statisticsLine, the messages to `messages`. A stop signal (StopSignals) stops the
// client it waits for and removes the script. Needs a QGuiApplication. Never throws.
int runProcessMode(std::string_view targetDay, const std::string& programFolder,
                   MessageSink& messages, const Clock& clock, ProcessLauncher& launcher,
                   std::ostream& figures = std::cout);

// `dayplot --month YYYYMM` / `--year YYYY`: the same with `runPeriod`; exit code 1 means
// that not one day of the period has a file.
int runPeriodMode(PeriodKind kind, std::string_view text, const std::string& programFolder,
                  MessageSink& messages, const Clock& clock, ProcessLauncher& launcher);

}  // namespace radmon
