#include "dayplot_app.h"

#include <QApplication>
#include <QIcon>

#include "japanese_font.h"
#include "settings_form.h"
#include "text_files.h"

namespace radmon {

int runWindows(int& argc, char** argv, const std::string& station) {
  QApplication app(argc, argv);
  // The installed icon of the menu entry; none when run from the build.
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("radmon-dayplot")));
  // The windows in the graph's font, so that the Japanese captions look alike everywhere.
  app.setFont(japaneseFont(9));
  SystemClock clock;
  SpawnLauncher launcher;
  FormParts parts;
  parts.programFolder = station;
  parts.clock = &clock;
  parts.launcher = &launcher;
  SettingsForm form(std::move(parts));
  // Which station this window keeps: the operator of an installed program cannot guess.
  form.setWindowTitle(form.windowTitle() + QStringLiteral(" - ") + QString::fromStdString(station));
  form.show();
  return app.exec();
}

}  // namespace radmon
