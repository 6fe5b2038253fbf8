#include "graph_parts.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QString>
#include <algorithm>
#include <cmath>

#include "image_files.h"
#include "japanese_font.h"
#include "number_text.h"

namespace radmon::graph {

std::string word(const char* japanese) {
  return QCoreApplication::translate("DayGraph", japanese).toStdString();
}

void line(QPainter& p, int x1, int y1, int x2, int y2, const QColor& colour) {
  p.setPen(QPen(colour, 1));
  p.drawLine(x1, y1, x2, y2);
}

void rectangle(QPainter& p, int x1, int y1, int x2, int y2, const QColor& colour) {
  p.setPen(QPen(colour, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(x1, y1, x2 - x1, y2 - y1);
}

void text(QPainter& p, int x, int y, const std::string& utf8) {
  p.setPen(QPen(kDrawing, 1));
  p.drawText(x, y + QFontMetrics(p.font()).ascent(), QString::fromStdString(utf8));
}

int plotY(int base, double rate, double unit) {
  // Far outside the picture the exact value does not change which pixels are drawn.
  const double y = std::floor(base - rate * unit);
  return static_cast<int>(std::clamp(y, -1.0e6, 1.0e6));
}

std::optional<double> scaleMaximum(const std::string& text, int panelHeight) {
  const auto m = readNumber(text);
  if (!m || !(*m > 0) || !std::isfinite(panelHeight / *m)) return std::nullopt;
  return m;
}

std::string madeText(const LocalDateTime& now) {
  // With seconds the line would run past the picture's right edge.
  std::string made = now.slashDate();
  made += "  ";
  made += std::to_string(now.hour);
  made += now.hhmm().substr(2);
  return made;
}

void stationLines(QPainter& p, const GraphSettings& settings, const LocalDateTime& now) {
  p.setFont(japaneseFont(9));
  text(p, 670, 20, word(QT_TRANSLATE_NOOP("DayGraph", "測定場所: ")) + settings.placeText());
  text(p, 670, 5, word(QT_TRANSLATE_NOOP("DayGraph", "作成日: ")) + madeText(now));
  text(p, 670, 35, word(QT_TRANSLATE_NOOP("DayGraph", "測定管: ")) + settings.tubeText());
}

QImage blankPicture(int width, int height, const QColor& background) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.setDotsPerMeterX(3780);
  picture.setDotsPerMeterY(3780);
  picture.fill(background);
  return picture;
}

bool writeImages(const QImage& picture, const GraphSettings& settings, const std::string& base,
                 MessageSink& messages) {
  bool failed = false;
  auto write = [&](const std::string& path, ImageFormat format) {
    if (auto written = writeImageFile(picture, path, format); !written) {
      messages.show(
          say::imageNotWritten(format == ImageFormat::Jpeg, path, written.error().reason));
      failed = true;
    }
  };
  if (settings.bmpWanted()) write(base + ".bmp", ImageFormat::Bmp);
  if (settings.jpegWanted()) write(base + ".jpg", ImageFormat::Jpeg);
  return !failed;
}

}  // namespace radmon::graph
