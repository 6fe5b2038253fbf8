#include "screen_graph.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "day_table.h"
#include "number_text.h"
#include "suspect_minutes.h"

namespace radmon {
namespace {

// tr() of the graph's words.
struct ScreenGraph {
  Q_DECLARE_TR_FUNCTIONS(ScreenGraph)
};

// The drawing's own units. Shown 336 px wide on a 360 px phone, a 14-unit figure is
// about 11 px high.
constexpr int kWidth = 420, kHeight = 280;
constexpr int kLeft = 52, kRight = 12, kTop = 48, kBottom = 44;
constexpr double kFontPoints = 14;
const QColor kCurve(0x1f, 0x5f, 0xa8), kSuspect(0xa0, 0xa0, 0xa0), kGrid(0xdd, 0xdd, 0xdd),
    kAxis(0x33, 0x33, 0x33);

// The least of 1, 2, 2.5 or 5 times a power of ten that is at least `value`.
double niceTop(double value) {
  if (!(value > 0)) return 0.1;
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  for (const double step : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (step * power >= value * (1 - 1e-9)) return step * power;
  return 10 * power;
}

QString figure(double value, int decimals) {
  return QString::fromStdString(fixedText(value, decimals));
}

}  // namespace

std::string screenGraphName(std::string_view graphName, std::string_view yyyymmdd) {
  return std::string(graphName) + "_" + std::string(yyyymmdd) + ".svg";
}

QByteArray daySvg(const LocalDateTime& day, const std::vector<DayRecord>& rows,
                  const std::vector<FaultPeriod>& faults) {
  const std::vector<bool> aside = suspectRecords(rows, faults);
  double maximum = 0, sum = 0;
  int counted = 0;
  for (size_t k = 0; k < rows.size(); ++k) {
    if (aside[k] || !rows[k].when()) continue;
    maximum = std::max(maximum, rows[k].rate);
    sum += rows[k].rate;
    ++counted;
  }
  double top = 0;
  for (const DayRecord& r : rows)
    if (r.when()) top = std::max(top, r.rate);
  top = niceTop(top * 1.1);
  const int decimals = top < 0.1 ? 3 : top < 1 ? 2 : top < 10 ? 1 : 0;

  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(kWidth, kHeight));
  svg.setViewBox(QRect(0, 0, kWidth, kHeight));
  svg.setResolution(72);  // a point is a unit
  svg.setTitle(ScreenGraph::tr("%1 の線量率").arg(QString::fromStdString(day.slashDate())));
  svg.setDescription(ScreenGraph::tr("毎分の線量率 (µSv/h) と時刻"));
  QPainter p(&svg);
  QFont font(QStringLiteral("sans-serif"));
  font.setPointSizeF(kFontPoints);
  p.setFont(font);
  p.fillRect(QRect(0, 0, kWidth, kHeight), Qt::white);

  const double w = kWidth - kLeft - kRight, h = kHeight - kTop - kBottom;
  const auto x = [&](double minute) { return kLeft + w * minute / 1440.0; };
  const auto y = [&](double rate) { return kTop + h - h * std::min(rate, top) / top; };

  // The day and its figures, above the drawing.
  p.setPen(kAxis);
  const QString figures = counted > 0 ? ScreenGraph::tr("最大 %1 · 平均 %2 µSv/h")
                                            .arg(figure(maximum, 3), figure(sum / counted, 3))
                                      : ScreenGraph::tr("記録なし");
  p.drawText(QRectF(4, 2, kWidth - 8, 22), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromStdString(day.slashDate()) + "  " + figures);
  p.drawText(QRectF(4, 24, kLeft + 40, 20), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("µSv/h"));

  // Grid, figures and axes.
  for (int i = 0; i <= 4; ++i) {
    const double value = top * i / 4, at = y(value);
    p.setPen(QPen(kGrid, 1));
    p.drawLine(QPointF(kLeft, at), QPointF(kWidth - kRight, at));
    p.setPen(kAxis);
    p.drawText(QRectF(0, at - 10, kLeft - 6, 20), Qt::AlignRight | Qt::AlignVCenter,
               figure(value, decimals));
  }
  for (int hour = 0; hour <= 24; hour += 6) {
    const double at = x(hour * 60.0);
    p.setPen(QPen(kAxis, 1));
    p.drawLine(QPointF(at, kTop + h), QPointF(at, kTop + h + 4));
    p.drawText(QRectF(at - 20, kTop + h + 4, 40, 18), Qt::AlignHCenter | Qt::AlignTop,
               QString::number(hour));
  }
  p.drawText(QRectF(kLeft, kHeight - 20, w, 20), Qt::AlignHCenter | Qt::AlignVCenter,
             ScreenGraph::tr("時刻 (時)"));
  p.setPen(QPen(kAxis, 1.5));
  p.drawLine(QPointF(kLeft, kTop), QPointF(kLeft, kTop + h));
  p.drawLine(QPointF(kLeft, kTop + h), QPointF(kWidth - kRight, kTop + h));

  // The curve, broken at gaps and where the clock goes back; minutes set aside in grey.
  p.setRenderHint(QPainter::Antialiasing);
  std::optional<std::pair<double, bool>> last;  // the last minute drawn, set aside or not
  QPointF from;
  for (size_t k = 0; k < rows.size(); ++k) {
    const auto when = rows[k].when();
    if (!when) continue;
    const double minute = when->hour * 60 + when->minute;
    const QPointF to(x(minute), y(rows[k].rate));
    if (last && minute > last->first && minute - last->first <= 2) {
      p.setPen(QPen(aside[k] || last->second ? kSuspect : kCurve, 1.2));
      p.drawLine(from, to);
    } else {
      p.setPen(QPen(aside[k] ? kSuspect : kCurve, 1.2));
      p.drawPoint(to);
    }
    last = {minute, aside[k]};
    from = to;
  }
  p.end();
  return buffer.data();
}

ScreenGraphWritten writeDaySvg(const std::string& dataFolder, const std::string& graphName,
                               const std::string& yyyymmdd, int openUntil) {
  ScreenGraphWritten written;
  const auto read = readDayTable(dayFilePath(dataFolder, yyyymmdd));
  const auto day = LocalDateTime::fromYyyymmdd(yyyymmdd);
  if (read.has(RecordIssue::Missing) || !day) {
    written.reason = "no day file";
    return written;
  }
  const auto faults = readFaultPeriods(dataFolder, yyyymmdd, openUntil);
  const QByteArray bytes = daySvg(*day, read.value.rows, faults.value);
  const std::string path = dataFolder + screenGraphName(graphName, yyyymmdd);
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    written.reason = file.errorString().toStdString();
    return written;
  }
  written.path = path;
  return written;
}

}  // namespace radmon
