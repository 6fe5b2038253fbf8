#include "screen_graph.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "day_table.h"
#include "dayplot_messages.h"
#include "fault_bands.h"
#include "graph_names.h"
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
// The month and year graphs keep a last line for what their marks mean.
constexpr int kPeriodHeight = 300, kPeriodBottom = 64;
constexpr int kLeft = 52, kRight = 12, kTop = 48, kBottom = 44;
constexpr double kFontPoints = 14, kLegendPoints = 10;
const QColor kCurve(0x1f, 0x5f, 0xa8), kSuspect(0xa0, 0xa0, 0xa0), kGrid(0xdd, 0xdd, 0xdd),
    kAxis(0x33, 0x33, 0x33), kBand(0xaa, 0xc8, 0xeb), kFaultMark(0xe6, 0x78, 0x78),
    kShortMark(0xeb, 0xaa, 0x32);

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

// The frame both kinds of graph share: a white page, a heading line, µSv/h over the
// value axis, its grid and figures to `top`, and the two axes; the plot's place for the
// drawing of what is in it.
class SvgFrame {
 public:
  SvgFrame(int height, int bottom, double top, const QString& title, const QString& description)
      : height_(height), bottom_(bottom), top_(top) {
    buffer_.open(QIODevice::WriteOnly);
    svg_.setOutputDevice(&buffer_);
    svg_.setSize(QSize(kWidth, height));
    svg_.setViewBox(QRect(0, 0, kWidth, height));
    svg_.setResolution(72);  // a point is a unit
    svg_.setTitle(title);
    svg_.setDescription(description);
    painter_.begin(&svg_);
    QFont font(QStringLiteral("sans-serif"));
    font.setPointSizeF(kFontPoints);
    painter_.setFont(font);
    painter_.fillRect(QRect(0, 0, kWidth, height), Qt::white);
  }

  QPainter& painter() { return painter_; }
  double plotWidth() const { return kWidth - kLeft - kRight; }
  double base() const { return height_ - bottom_; }
  double x(double share) const { return kLeft + plotWidth() * share; }
  double y(double rate) const {
    const double h = base() - kTop;
    return base() - h * std::min(rate, top_) / top_;
  }

  // The heading, the value axis with its grid, and the axes' lines.
  void drawFrame(const QString& heading) {
    QPainter& p = painter_;
    p.setPen(kAxis);
    p.drawText(QRectF(4, 2, kWidth - 8, 22), Qt::AlignLeft | Qt::AlignVCenter, heading);
    p.drawText(QRectF(4, 24, kLeft + 40, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("µSv/h"));
    // Steps of one figure: a top of 2 in four steps of 0.5, of 1, 2.5 or 5 in five.
    const double power = std::pow(10.0, std::floor(std::log10(top_)));
    const int steps = std::abs(top_ / power - 2) < 1e-9 ? 4 : 5;
    const double step = top_ / steps;
    const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
    for (int i = 0; i <= steps; ++i) {
      const double value = step * i, at = y(value);
      p.setPen(QPen(kGrid, 1));
      p.drawLine(QPointF(kLeft, at), QPointF(kWidth - kRight, at));
      p.setPen(kAxis);
      p.drawText(QRectF(0, at - 10, kLeft - 6, 20), Qt::AlignRight | Qt::AlignVCenter,
                 figure(value, decimals));
    }
    p.setPen(QPen(kAxis, 1.5));
    p.drawLine(QPointF(kLeft, kTop), QPointF(kLeft, base()));
    p.drawLine(QPointF(kLeft, base()), QPointF(kWidth - kRight, base()));
  }

  // A tick under the time axis at `at`, with its label.
  void tick(double at, const QString& label) {
    painter_.setPen(QPen(kAxis, 1));
    painter_.drawLine(QPointF(at, base()), QPointF(at, base() + 4));
    if (!label.isEmpty())
      painter_.drawText(QRectF(at - 20, base() + 4, 40, 18), Qt::AlignHCenter | Qt::AlignTop,
                        label);
  }

  // The time axis's name, under its labels.
  void axisName(const QString& name) {
    painter_.setPen(kAxis);
    painter_.drawText(QRectF(kLeft, base() + 24, plotWidth(), 20),
                      Qt::AlignHCenter | Qt::AlignVCenter, name);
  }

  QByteArray finish() {
    painter_.end();
    return buffer_.data();
  }

 private:
  int height_, bottom_;
  double top_;
  QBuffer buffer_;
  QSvgGenerator svg_;
  QPainter painter_;
};

// The axis's top for the highest value drawn, a little above it.
double topFor(double highest) { return niceTop(highest * 1.1); }

QString headingFigures(int counted, double maximum, double mean) {
  return counted > 0
             ? ScreenGraph::tr("最大 %1 · 平均 %2 µSv/h").arg(figure(maximum, 3), figure(mean, 3))
             : ScreenGraph::tr("記録なし");
}

}  // namespace

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
  double highest = 0;
  for (const DayRecord& r : rows)
    if (r.when()) highest = std::max(highest, r.rate);

  const QString date = QString::fromStdString(day.slashDate());
  SvgFrame frame(kHeight, kBottom, topFor(highest), ScreenGraph::tr("%1 の線量率").arg(date),
                 ScreenGraph::tr("毎分の線量率 (µSv/h) と時刻"));
  frame.drawFrame(date + "  " + headingFigures(counted, maximum, counted ? sum / counted : 0));
  for (int hour = 0; hour <= 24; hour += 6) frame.tick(frame.x(hour / 24.0), QString::number(hour));
  frame.axisName(ScreenGraph::tr("時刻 (時)"));

  // The curve, broken at gaps and where the clock goes back; minutes set aside in grey.
  QPainter& p = frame.painter();
  p.setRenderHint(QPainter::Antialiasing);
  std::optional<std::pair<double, bool>> last;  // the last minute drawn, set aside or not
  QPointF from;
  for (size_t k = 0; k < rows.size(); ++k) {
    const auto when = rows[k].when();
    if (!when) continue;
    const double minute = when->hour * 60 + when->minute;
    const QPointF to(frame.x(minute / 1440.0), frame.y(rows[k].rate));
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
  return frame.finish();
}

QByteArray periodSvg(const PeriodTable& table) {
  const bool month = table.period.kind == PeriodKind::Month;
  const std::string name = table.period.name();
  const QString year = QString::fromStdString(name.substr(0, 4));
  const QString when = month ? QCoreApplication::translate("DayGraph", "%1年%2月")
                                   .arg(year, QString::fromStdString(name.substr(4, 2)))
                             : QCoreApplication::translate("DayGraph", "%1年").arg(year);
  double highest = 0;
  for (const DaySummary& d : table.days)
    if (d.present) highest = std::max({highest, d.high, d.netMean});

  SvgFrame frame(kPeriodHeight, kPeriodBottom, topFor(highest),
                 ScreenGraph::tr("%1 の日ごとの線量率").arg(when),
                 ScreenGraph::tr("日ごとの最小～最大の線量率 (µSv/h) と日平均"));
  frame.drawFrame(when + "  " + headingFigures(table.daysPresent, table.maximum, table.mean));

  const auto days = static_cast<int>(table.days.size());
  const auto dayX = [&](double index) { return frame.x(index / std::max(days, 1)); };
  if (month) {
    for (int d = 1; d <= days; ++d)
      frame.tick(dayX(d - 0.5), d == 1 || d % 5 == 0 ? QString::number(d) : QString());
    frame.axisName(ScreenGraph::tr("日"));
  } else {
    // A tick where each month begins, its number in the middle of it.
    const std::vector<std::string> all = table.period.days();
    int first = 0;
    for (int m = 1; m <= 12; ++m) {
      int last = first;
      while (last < days && std::stoi(all[static_cast<size_t>(last)].substr(4, 2)) == m) ++last;
      frame.tick(dayX(first), QString());
      frame.painter().drawText(
          QRectF((dayX(first) + dayX(last)) / 2 - 20, frame.base() + 4, 40, 18),
          Qt::AlignHCenter | Qt::AlignTop, QString::number(m));
      first = last;
    }
    frame.axisName(ScreenGraph::tr("月"));
  }

  // Each day's range as a band, days at fault and short days marked under it, and the
  // line of the days' means joining neighbours that both have a file.
  QPainter& p = frame.painter();
  bool anyFault = false, anyShort = false;
  for (int i = 0; i < days; ++i) {
    const DaySummary& d = table.days[static_cast<size_t>(i)];
    const QRectF column(dayX(i), 0, dayX(i + 1) - dayX(i), 0);
    if (d.faultSeconds > 0) {
      p.fillRect(QRectF(column.left(), frame.base() - 4, column.width(), 4), kFaultMark);
      anyFault = true;
    }
    if (!d.present) continue;
    const double yHigh = frame.y(d.high), yLow = frame.y(d.low);
    p.fillRect(QRectF(column.left(), yHigh, column.width(), std::max(1.0, yLow - yHigh)), kBand);
    if (d.hoursMissing) {
      p.fillRect(QRectF(column.left(), frame.base() - 8, column.width(), 4), kShortMark);
      anyShort = true;
    }
  }
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kCurve, 1.5));
  for (int i = 0; i < days; ++i) {
    const DaySummary& d = table.days[static_cast<size_t>(i)];
    if (!d.present) continue;
    const QPointF at(dayX(i + 0.5), frame.y(d.netMean));
    const bool before = i > 0 && table.days[static_cast<size_t>(i - 1)].present;
    const bool after = i + 1 < days && table.days[static_cast<size_t>(i + 1)].present;
    if (after)
      p.drawLine(at,
                 QPointF(dayX(i + 1.5), frame.y(table.days[static_cast<size_t>(i + 1)].netMean)));
    else if (!before)
      p.drawLine(QPointF(dayX(i), at.y()), QPointF(dayX(i + 1), at.y()));
  }

  // What the marks mean, in a smaller hand on the last line.
  QFont small = p.font();
  small.setPointSizeF(kLegendPoints);
  p.setFont(small);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QFontMetricsF metrics(small);
  double x = 4;
  const double y = kPeriodHeight - 18;
  auto entry = [&](int legend, const QColor& colour, bool asLine) {
    if (asLine) {
      p.setPen(QPen(colour, 1.5));
      p.drawLine(QPointF(x, y + 8), QPointF(x + 14, y + 8));
    } else {
      p.fillRect(QRectF(x, y + 3, 14, 10), colour);
    }
    const QString words = QString::fromStdString(say::periodLegend(legend));
    p.setPen(kAxis);
    p.drawText(QRectF(x + 18, y, kWidth, 16), Qt::AlignLeft | Qt::AlignVCenter, words);
    x += 18 + metrics.horizontalAdvance(words) + 10;
  };
  entry(0, kBand, false);
  entry(1, kCurve, true);
  if (anyFault) entry(2, kFaultMark, false);
  if (anyShort) entry(3, kShortMark, false);
  return frame.finish();
}

namespace {

ScreenGraphWritten saved(const std::string& path, const QByteArray& bytes) {
  ScreenGraphWritten written;
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    written.reason = file.errorString().toStdString();
    return written;
  }
  written.path = path;
  return written;
}

}  // namespace

ScreenGraphWritten writeDaySvg(const std::string& dataFolder, const std::string& graphName,
                               const std::string& yyyymmdd, int openUntil) {
  const auto read = readDayTable(dayFilePath(dataFolder, yyyymmdd));
  const auto day = LocalDateTime::fromYyyymmdd(yyyymmdd);
  if (read.has(RecordIssue::Missing) || !day) return {std::nullopt, "no day file"};
  const auto faults = readFaultPeriods(dataFolder, yyyymmdd, openUntil);
  return saved(dataFolder + screenGraphName(graphName, yyyymmdd),
               daySvg(*day, read.value.rows, faults.value));
}

ScreenGraphWritten writePeriodSvg(const std::string& dataFolder, const std::string& graphName,
                                  const Period& period) {
  const auto read = readPeriodTable(dataFolder, period, faultSecondsOfDay);
  if (read.value.daysPresent == 0) return {std::nullopt, "no day file"};
  return saved(dataFolder + periodScreenGraphName(graphName, period), periodSvg(read.value));
}

}  // namespace radmon
