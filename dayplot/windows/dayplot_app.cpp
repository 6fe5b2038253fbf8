#include "dayplot_app.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QSocketNotifier>
#include <csignal>
#include <iostream>

#include "dayplot_messages.h"
#include "japanese_font.h"
#include "lock_file.h"
#include "settings_form.h"
#include "stop_signals.h"
#include "text_files.h"

namespace radmon {

int runWindows(int& argc, char** argv, const std::string& station) {
  QApplication app(argc, argv);
  // The installed icon of the menu entry; none when run from the build.
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("radmon-dayplot")));
  // The windows in the graph's font, so that the Japanese captions look alike everywhere.
  app.setFont(japaneseFont(9));
  // A stop signal from here on waits on the socket until the window can close.
  const auto signalEnd = StopSignals::listen({SIGINT, SIGTERM, SIGHUP});
  // One dayplot per station: the service and a window would both draw and upload.
  LockFile lock;
  const std::string lockPath = station + LockFile::kDayplotName;
  if (const auto taken = lock.take(lockPath); !taken) {
    const std::string text = say::lockRefused(lockPath, taken.error());
    std::cerr << text << std::endl;
    if (!StopSignals::release({SIGINT, SIGTERM, SIGHUP}))
      QMessageBox::critical(nullptr, QStringLiteral("dayplot"), QString::fromStdString(text));
    return 1;
  }
  SystemClock clock;
  SpawnLauncher launcher;
  FormParts parts;
  parts.programFolder = station;
  parts.clock = &clock;
  parts.launcher = &launcher;
  SettingsForm form(std::move(parts));
  // Which station this window keeps: the operator of an installed program cannot guess.
  form.setWindowTitle(form.windowTitle() + QStringLiteral(" - ") + QString::fromStdString(station));
  // A logout or the service manager's stop saves the settings as a close does.
  if (signalEnd) {
    auto* notifier = new QSocketNotifier(*signalEnd, QSocketNotifier::Read, &form);
    QObject::connect(notifier, &QSocketNotifier::activated, &form, [&form] {
      if (StopSignals::take() == 0) return;
      form.close();
      QCoreApplication::quit();
    });
  }
  form.show();
  return app.exec();
}

}  // namespace radmon
