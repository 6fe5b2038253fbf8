#include "japanese_font.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace radmon {
namespace {

QString loadFamily() {
  const char* const kCandidates[] = {
      "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf",
      "/usr/share/fonts/truetype/ipaexfont-gothic/ipaexg.ttf",
      "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
      "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf",
  };
  for (const char* path : kCandidates) {
    const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(path));
    if (id < 0) continue;
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!families.isEmpty()) return families.front();
  }
  return {};
}

}  // namespace

QFont japaneseFont(int points) {
  // Loaded once per process; the database keeps the font for the program's life.
  static const QString family = loadFamily();
  QFont font;
  if (!family.isEmpty()) font.setFamily(family);
  font.setPointSize(points);
  return font;
}

}  // namespace radmon
