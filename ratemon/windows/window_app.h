// ratemon with its windows: the entry of the GUI mode.
#pragma once

#include <string>
#include <vector>

#include "headless_station.h"
#include "http_address.h"

class QWidget;

namespace radmon {

// Runs the windowed station until Form1 closes; the process exit code (1 when another
// ratemon holds the lock file of the working folder).
//
// `sourceText` names the sound source: empty or "default" for the system's default
// sound-card input, "device:NAME" for the sound-card input whose id or description is
// NAME; anything else (a WAV file, sim:CPM...) is opened with `openInput` and paced at
// one buffer a second while recording.
// Where the windowed station keeps its files, and what dayplot is started with.
struct StationPlace {
  std::string folder;  // the station folder, ends with the separator
  std::string lockPath;
  std::vector<std::string> dayplotArguments;
  std::optional<HttpAddress> http = {};  // --http: the live page's address
};

// Closes `window` on SIGINT, SIGTERM and SIGHUP (Ctrl+C, the service manager, a logout)
// as the operator's close does, saving the settings, and ends the event loop.
void closeOnStopSignals(QWidget& window);

int runWindows(int argc, char** argv, const std::string& sourceText, const InputFactory& openInput,
               const StationPlace& place);

}  // namespace radmon
