#include "station_start.h"

#include <QApplication>
#include <QMessageBox>
#include <csignal>
#include <iostream>

#include "display_check.h"
#include "language_setting.h"
#include "stop_signals.h"
#include "ui_translator.h"

namespace radmon {
namespace {

// Not on the offscreen platform, where nobody could close the box.
void showStartFailure(const char* program, char* argv0, const std::string& text) {
  if (!displayGiven() || qgetenv("QT_QPA_PLATFORM") == "offscreen") return;
  // Ctrl+C closes the box as it would any window.
  StopSignals::release({SIGINT, SIGTERM, SIGHUP});
  int qtArgc = 1;
  QApplication app(qtArgc, &argv0);
  QMessageBox::critical(nullptr, QString::fromUtf8(program), QString::fromStdString(text));
}

}  // namespace

bool displayGiven() { return displayState() == DisplayState::Reachable; }

std::expected<StationStart, int> startStation(int argc, char** argv, StartOptions& start,
                                              const ProgramOptions& program, int stationRefused,
                                              const SettingsCommandRun& runSettings) {
  useUiLanguage(start.language());
  OptionCheck check;
  if (const auto answered =
          answerCommandLine(program, std::vector<std::string>(argv + 1, argv + argc), &check))
    return std::unexpected(*answered);
  // The windows' form is the first; the settings command opens none.
  const bool windows = check.mode == 0 && !start.settingsCommand().given();
  if (start.problem() != StartOptions::Problem::None) {
    const std::string problem = optionProblemText(start.problem());
    std::cerr << problem << "\n" << programUsage(program) << std::flush;
    if (windows) showStartFailure(program.program, argv[0], problem);
    return std::unexpected(2);
  }
  const auto found = findStationFolder(start.station(), start.createStation());
  if (!found) {
    const std::string text = stationFaultText(found.error());
    std::cerr << text << std::endl;
    if (windows) showStartFailure(program.program, argv[0], text);
    return std::unexpected(stationRefused);
  }
  // The station's language goes over the locale, --lang over both.
  if (!start.languageGiven())
    if (const auto chosen = stationLanguage(found->folder)) useUiLanguage(*chosen);
  if (start.settingsCommand().given()) {
    // What the settings command did not take ("--set=KEY=VALUE") changes nothing.
    if (start.argc() > 1) {
      std::cerr << optionFaultText(program,
                                   {.fault = OptionFault::Unknown, .argument = start.argv()[1]})
                << std::flush;
      return std::unexpected(2);
    }
    // The messages come from Qt's translator; no window, no sound.
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    return std::unexpected(runSettings(found->folder, start.settingsCommand()));
  }
  return StationStart{*found, std::move(check)};
}

}  // namespace radmon
