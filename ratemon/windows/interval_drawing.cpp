#include "interval_drawing.h"

#include "ratemon_messages.h"
#include "window_drawing.h"

#include <QFontMetrics>
#include <QPolygon>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace radmon {

void drawDoseBand(QPainter& p, const std::array<float, 600>& low,
                  const std::array<float, 600>& high, int newestSlot,
                  const std::string& limit2Text) {
  const auto top = doseScaleTop(limit2Text);
  if (!top) return;
  // The geometry of drawDoseGraph: x = 50 + 1..600 from the newest second to the
  // oldest, y = 350 − 300 / top per μSv/h.
  const double k = 300.0 / *top;
  QPolygonF lower, upper;
  int slot = ((newestSlot % 600) + 600) % 600;
  for (int x = 600; x >= 1; --x) {
    slot = slot + 1 == 600 ? 0 : slot + 1;
    lower << QPointF(x + 50, std::max(50.0, 350 - k * low[static_cast<size_t>(slot)]));
    upper << QPointF(x + 50, std::max(50.0, 350 - k * high[static_cast<size_t>(slot)]));
  }
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(kBandLine, 1));
  p.drawPolyline(lower);
  p.drawPolyline(upper);
  p.restore();
}

int intervalX(double seconds) {
  const double decades = std::log10(kLastBin / kFirstBin);
  const double at = std::log10(std::clamp(seconds, kFirstBin, kLastBin) / kFirstBin) / decades;
  return kHistogramLeft + static_cast<int>(std::lround(at * (kHistogramRight - kHistogramLeft)));
}

std::vector<std::string> intervalSummaryLines(const IntervalAnalysis& a) {
  std::vector<std::string> lines;
  if (a.intervals > 0) lines.push_back(messages::intervalFigures(a));
  for (const IntervalVerdict v : a.verdicts) lines.push_back(messages::intervalAdvice(v, a));
  return lines;
}

void drawIntervalView(QPainter& p, const IntervalAnalysis& a, const QColor& foreground,
                      const QColor& background) {
  p.fillRect(0, 0, kIntervalViewWidth, kIntervalViewHeight, background);
  p.setRenderHint(QPainter::Antialiasing, false);
  const int height = kHistogramBase - kHistogramTop;
  double top = 1;
  for (const IntervalBin& b : a.bins)
    top = std::max({top, static_cast<double>(b.observed), b.expected});
  top *= 1.1;
  auto yOf = [&](double count) {
    return kHistogramBase - static_cast<int>(std::lround(count / top * height));
  };

  p.setPen(foreground);
  p.drawText(kHistogramLeft, kHistogramTop - 12,
             QString::fromStdString(messages::intervalLabel(messages::IntervalLabel::title)));
  for (const IntervalBin& b : a.bins) {
    if (b.observed == 0) continue;
    const int x1 = intervalX(b.from) + 1, x2 = intervalX(b.to);
    p.fillRect(x1, yOf(b.observed), std::max(1, x2 - x1), kHistogramBase - yOf(b.observed),
               kIntervalBar);
  }
  QPolygon curve;
  for (const IntervalBin& b : a.bins)
    curve << QPoint((intervalX(b.from) + intervalX(b.to)) / 2, yOf(b.expected));
  if (a.intervals > 0) {
    p.setPen(QPen(kPoissonCurve, 2));
    p.drawPolyline(curve);
  }

  p.setPen(foreground);
  p.drawLine(kHistogramLeft, kHistogramTop, kHistogramLeft, kHistogramBase);
  p.drawLine(kHistogramLeft, kHistogramBase, kHistogramRight, kHistogramBase);
  const QFontMetrics metrics(p.font());
  for (double t = kFirstBin; t <= kLastBin * 1.001; t *= 10) {
    const int x = intervalX(t);
    p.drawLine(x, kHistogramBase, x, kHistogramBase + 5);
    const QString label = QString::fromStdString(messages::intervalTime(t));
    p.drawText(x - metrics.horizontalAdvance(label) / 2, kHistogramBase + 18, label);
  }
  p.drawText(kHistogramLeft - 55, kHistogramTop + 4, QString::number(static_cast<int>(top)));
  p.drawText(kHistogramLeft - 20, kHistogramBase + 4, QString("0"));
  if (a.shortest > 0) {
    const int x = intervalX(a.shortest);
    p.setPen(QPen(foreground, 1, Qt::DashLine));
    p.drawLine(x, kHistogramTop, x, kHistogramBase);
  }

  // The legend and the summary.
  p.setPen(foreground);
  p.fillRect(kHistogramRight - 190, kHistogramTop - 22, 14, 10, kIntervalBar);
  p.drawText(kHistogramRight - 172, kHistogramTop - 12,
             QString::fromStdString(messages::intervalLabel(messages::IntervalLabel::measured)));
  p.setPen(QPen(kPoissonCurve, 2));
  p.drawLine(kHistogramRight - 120, kHistogramTop - 17, kHistogramRight - 104, kHistogramTop - 17);
  p.setPen(foreground);
  p.drawText(kHistogramRight - 100, kHistogramTop - 12,
             QString::fromStdString(messages::intervalLabel(messages::IntervalLabel::random)));
  int y = kHistogramBase + 44;
  for (const std::string& line : intervalSummaryLines(a)) {
    const QRect box(10, y - metrics.ascent(), kIntervalViewWidth - 20, 3 * metrics.height());
    QRect used;
    p.drawText(box, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(line),
               &used);
    y += used.height() + 6;
  }
}

}  // namespace radmon
