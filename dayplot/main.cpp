// dayplot: draws and publishes the day graph of the radiation monitor. Without
// arguments it opens its settings window; `--headless` runs the schedule without a
// window; `--process YYYYMMDD` processes one day and ends; `--month YYYYMM` and
// `--year YYYY` draw a month or a year of day files the same way.
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "dayplot_app.h"
#include "dayplot_messages.h"
#include "dayplot_options.h"
#include "dayplot_setting_keys.h"
#include "headless_dayplot.h"
#include "lock_file.h"
#include "process_mode.h"
#include "station_folder.h"
#include "station_start.h"
#include "stop_signals.h"
#include "ui_translator.h"

namespace {

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

int processMain(int& argc, char** argv, const radmon::OptionCheck& options,
                const std::string& station) {
  withoutScreen();
  // SIGTERM or Ctrl+C while the client runs: stop it and remove the script, then end.
  radmon::StopSignals::listen({SIGINT, SIGTERM});
  QGuiApplication app(argc, argv);
  std::cerr << radmon::stationInUseText(station) << std::endl;
  radmon::StderrMessages messages;
  radmon::SystemClock clock;
  radmon::SpawnLauncher launcher;
  if (options.mode == radmon::kDayplotProcess)
    return radmon::runProcessMode(*options.value("--process"), station, messages, clock, launcher);
  const bool month = options.mode == radmon::kDayplotMonth;
  return radmon::runPeriodMode(month ? radmon::PeriodKind::Month : radmon::PeriodKind::Year,
                               *options.value(month ? "--month" : "--year"), station, messages,
                               clock, launcher);
}

int headlessMain(int& argc, char** argv, const std::string& station) {
  withoutScreen();
  QGuiApplication app(argc, argv);
  std::cerr << radmon::stationInUseText(station) << std::endl;
  // One dayplot per station: a second would draw and upload the same graphs.
  radmon::LockFile lock;
  const std::string lockPath = station + radmon::LockFile::kDayplotName;
  if (const auto taken = lock.take(lockPath); !taken) {
    std::cerr << radmon::say::lockRefused(lockPath, taken.error()) << std::endl;
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
  auto started = radmon::startStation(
      argc0, argv0, start, radmon::dayplotOptions(), radmon::kProcessFailed,
      radmon::settingsCommandOn(radmon::dayplotSettingKeys(), radmon::readDayplotFiles,
                                radmon::saveDayplotFiles));
  if (!started) return started.error();
  const auto& [found, options] = *started;
  const std::string& station = found.folder;
  int& argc = start.argc();
  char** argv = start.argv();
  switch (options.mode) {
    case radmon::kDayplotProcess:
    case radmon::kDayplotMonth:
    case radmon::kDayplotYear:
      return processMain(argc, argv, options, station);
    case radmon::kDayplotHeadless:
      return headlessMain(argc, argv, station);
    default:
      break;
  }
  if (!radmon::displayGiven()) {
    std::fputs(radmon::uiText("dayplot",
                              QT_TRANSLATE_NOOP(
                                  "dayplot",
                                  "画面がないため設定画面を開けません。画面なしで定時処理するには "
                                  "dayplot --headless を使ってください。\n"))
                   .c_str(),
               stderr);
    return 1;
  }
  return radmon::runWindows(argc, argv, station);
}
