#include "dayplot_app.h"

#include <QApplication>

#include "japanese_font.h"
#include "settings_form.h"
#include "text_files.h"

namespace radmon {

int runWindows(int argc, char** argv) {
  QApplication app(argc, argv);
  // The windows in the graph's font, so that the Japanese captions look alike everywhere.
  app.setFont(japaneseFont(9));
  SystemClock clock;
  SpawnLauncher launcher;
  FormParts parts;
  parts.programFolder = programFolder();
  parts.clock = &clock;
  parts.launcher = &launcher;
  SettingsForm form(std::move(parts));
  form.show();
  return app.exec();
}

}  // namespace radmon
