// dayplot: draws and publishes the day graph of the radiation monitor. Without
// arguments it opens its settings window; `--headless` runs the schedule without a
// window; `--process YYYYMMDD` processes one day and ends; `--month YYYYMM` and
// `--year YYYY` draw a month or a year of day files the same way.
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string_view>

#include "dayplot_app.h"
#include "dayplot_messages.h"
#include "dayplot_options.h"
#include "dayplot_setting_keys.h"
#include "display_check.h"
#include "headless_dayplot.h"
#include "language_setting.h"
#include "lock_file.h"
#include "process_mode.h"
#include "start_options.h"
#include "station_folder.h"
#include "stop_signals.h"
#include "ui_translator.h"

namespace {

std::string usage() { return radmon::programUsage(radmon::dayplotOptions()); }

// A display named but out of reach counts as none: Qt would abort on it.
bool displayGiven() { return radmon::displayState() == radmon::DisplayState::Reachable; }

// Started from the menu, the settings window has no terminal: a start failure shows in a
// message box as well (not on the offscreen platform, where nobody could close it).
void showStartFailure(int argc, char** argv, const std::string& text) {
  if (argc != 1 || !displayGiven() || qgetenv("QT_QPA_PLATFORM") == "offscreen") return;
  QApplication app(argc, argv);
  QMessageBox::critical(nullptr, QStringLiteral("dayplot"), QString::fromStdString(text));
}

// Stderr carries the operator's messages; Qt's own notes (a missing runtime folder and
// the like) would bury them. Real failures of Qt still come through.
void quietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

void withoutScreen() {
  // A station without a screen has no display; the graph needs none.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(quietQtNotes);
}

int processMain(int& argc, char** argv, std::string_view option, std::string_view value,
                const std::string& station) {
  withoutScreen();
  // SIGTERM or Ctrl+C while the client runs: stop it and remove the script, then end.
  radmon::StopSignals::listen({SIGINT, SIGTERM});
  QGuiApplication app(argc, argv);
  std::cerr << radmon::stationInUseText(station) << std::endl;
  radmon::StderrMessages messages;
  radmon::SystemClock clock;
  radmon::SpawnLauncher launcher;
  if (option == "--process")
    return radmon::runProcessMode(value, station, messages, clock, launcher);
  const auto kind = option == "--month" ? radmon::PeriodKind::Month : radmon::PeriodKind::Year;
  return radmon::runPeriodMode(kind, value, station, messages, clock, launcher);
}

int headlessMain(int& argc, char** argv, const std::string& station) {
  withoutScreen();
  QGuiApplication app(argc, argv);
  std::cerr << radmon::stationInUseText(station) << std::endl;
  // One dayplot per station: a second would draw and upload the same graphs.
  radmon::LockFile lock;
  const std::string lockPath = station + radmon::LockFile::kDayplotName;
  if (const auto refusal = lock.take(lockPath)) {
    std::cerr << radmon::say::lockRefused(lockPath, *refusal) << std::endl;
    return 1;
  }
  // The signal handler only writes a byte; the event loop reads it and ends in order.
  const auto signalEnd = radmon::StopSignals::listen({SIGINT, SIGTERM});
  if (!signalEnd) {
    std::perror("socketpair");
    return 1;
  }
  QSocketNotifier signalNotifier(*signalEnd, QSocketNotifier::Read);
  QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] {
    if (radmon::StopSignals::take() != 0) QCoreApplication::quit();
  });

  radmon::SystemClock clock;
  radmon::SpawnLauncher launcher;
  radmon::HeadlessDayplot dayplot(station, clock, launcher, std::cerr);

  QTimer timer1;
  timer1.setObjectName("Timer1");
  timer1.setSingleShot(true);
  timer1.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer1, &QTimer::timeout, &app, [&] {
    dayplot.tick();
    timer1.start(dayplot.untilNextTick());
  });
  timer1.start(dayplot.untilNextTick());

  QTimer uploads;
  uploads.setInterval(250);
  QObject::connect(&uploads, &QTimer::timeout, &app, [&] { dayplot.pollUploads(); });
  uploads.start();

  const int status = app.exec();
  dayplot.pollUploads();
  dayplot.finish();
  return status;
}

}  // namespace

int main(int argc0, char** argv0) {
  radmon::StartOptions start(argc0, argv0);
  radmon::useUiLanguage(start.language());
  if (const auto answered = radmon::answerCommandLine(
          radmon::dayplotOptions(), std::vector<std::string>(argv0 + 1, argv0 + argc0)))
    return *answered;
  const bool settingsCommand = start.settingsCommand().given();
  if (start.problem() != radmon::StartOptions::Problem::None) {
    const std::string problem = radmon::optionProblemText(start.problem());
    std::cerr << problem << "\n" << usage();
    if (!settingsCommand) showStartFailure(start.argc(), start.argv(), problem);
    return radmon::kProcessFailed;
  }
  const radmon::StationResult found =
      radmon::findStationFolder(start.station(), start.createStation());
  if (found.failure) {
    const std::string text = radmon::stationFaultText(found);
    std::cerr << text << std::endl;
    if (!settingsCommand) showStartFailure(start.argc(), start.argv(), text);
    return radmon::kProcessFailed;
  }
  const std::string& station = found.station.folder;
  // The station's language goes over the locale, --lang over both.
  if (!start.languageGiven())
    if (const auto chosen = radmon::stationLanguage(station)) radmon::useUiLanguage(*chosen);
  int& argc = start.argc();
  char** argv = start.argv();
  if (const auto& command = start.settingsCommand(); command.given()) {
    if (argc > 1) {
      std::fputs(usage().c_str(), stderr);
      return radmon::kProcessFailed;
    }
    // The messages come from Qt's translator; no window.
    QCoreApplication app(argc, argv);
    auto files = radmon::readDayplotFiles(station);
    if (const auto* unreadable = std::get_if<std::string>(&files)) {
      std::cerr << *unreadable << std::endl;
      return 1;
    }
    return radmon::runSettingsCommand<radmon::DayplotFiles>(
        command, radmon::dayplotSettingKeys(), std::get<radmon::DayplotFiles>(files),
        [&](const radmon::DayplotFiles& before, const radmon::DayplotFiles& after) {
          return radmon::saveDayplotFiles(station, before, after);
        },
        std::cout, std::cerr);
  }
  if (argc == 3) {
    const std::string_view option = argv[1];
    if (option == "--process" || option == "--month" || option == "--year")
      return processMain(argc, argv, option, argv[2], station);
  }
  if (argc == 2 && std::string_view(argv[1]) == "--headless") {
    return headlessMain(argc, argv, station);
  }
  if (argc == 1) {
    if (!displayGiven()) {
      std::fputs(
          radmon::uiText(
              "dayplot",
              QT_TRANSLATE_NOOP("dayplot",
                                "画面がないため設定画面を開けません。画面なしで定時処理するには "
                                "dayplot --headless を使ってください。\n"))
              .c_str(),
          stderr);
      return 1;
    }
    return radmon::runWindows(argc, argv, station);
  }
  std::fputs(usage().c_str(), stderr);
  return radmon::kProcessFailed;
}
