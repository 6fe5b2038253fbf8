#include "window_drawing.h"

#include <QCoreApplication>
#include <cmath>

#include "number_text.h"
#include "ratemon_messages.h"

namespace radmon {
namespace {

QString qText(const std::string& s) { return QString::fromStdString(s); }

// Text with its top-left corner at (x, y), as the windows place their labels.
void textAt(QPainter& p, int x, int y, const QString& text) {
  p.drawText(QRect(x, y, 400, 100), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

void penFor(QPainter& p, const QColor& colour) {
  QPen pen(colour);
  pen.setWidth(0);  // cosmetic: one pixel whatever the scale
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
}

}  // namespace

std::optional<int> doseScaleTop(const std::string& limit2Text) {
  const auto l2 = readNumber(limit2Text);
  if (!l2) return std::nullopt;
  // Rounded as the division comes out in binary (the way an integer conversion does),
  // halves to the even neighbour.
  const double v = std::nearbyint(*l2 / 0.7);
  if (!std::isfinite(v) || v == 0 || std::fabs(v) > 1e9) return std::nullopt;
  return static_cast<int>(v);
}

QColor barColour(double dose, std::optional<double> limit1, std::optional<double> limit2) {
  // The history holds single-precision values: the limits are compared at the same
  // precision, so a dose equal to a limit as the operator typed it keeps the lower colour.
  const float v = static_cast<float>(dose);
  QColor c = kGreen;
  if (limit1 && static_cast<float>(*limit1) < v) c = kYellow;
  if (limit2 && static_cast<float>(*limit2) < v) c = kRed;
  return c;
}

void drawDoseGraph(QPainter& p, const std::array<float, 600>& history, int newestSlot,
                   const std::string& limit1Text, const std::string& limit2Text, const QColor& fg,
                   const QColor& bg) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(QRect(0, 0, kGraphWidth, kGraphHeight), bg);
  penFor(p, fg);
  p.drawLine(50, 50, 50, 350);
  p.drawLine(50, 350, 650, 350);
  for (int x = 110; x <= 590; x += 60) {
    p.drawLine(x, 350, x, 360);
    textAt(p, x - 10, 365, qText(axisLabelText(x - 50)));
  }
  textAt(p, 640, 365, QCoreApplication::translate("ratemon", "600sec"));
  textAt(p, 610, 378, QCoreApplication::translate("ratemon", "→時間"));

  const auto top = doseScaleTop(limit2Text);
  textAt(p, 20, 30, QCoreApplication::translate("ratemon", "μSV/h"));
  if (!top) {
    textAt(p, 70, 180, QString::fromStdString(messages::noScaleNote()));
    p.restore();
    return;
  }
  const double v = *top;
  const double step = v / 5;
  double label = v;
  for (int y = 50; y <= 290; y += 60) {
    p.drawLine(45, y, 50, y);
    textAt(p, 20, y, qText(axisLabelText(label)));
    label -= step;
  }
  const double k = 300 / v;
  const auto l1 = readNumber(limit1Text);
  const auto l2 = readNumber(limit2Text);
  auto limitLine = [&](double limit, const QColor& colour) {
    const QPointF a(50, 350 - k * limit), b(650, 350 - k * limit);
    penFor(p, colour);
    p.drawLine(a, b);
  };
  limitLine(*l2, kRed);
  if (l1) limitLine(*l1, kOlive);

  int slot = ((newestSlot % 600) + 600) % 600;
  for (int x = 600; x >= 1; --x) {
    slot = slot + 1 == 600 ? 0 : slot + 1;
    const double dose = history[static_cast<size_t>(slot)];
    penFor(p, barColour(dose, l1, l2));
    p.drawLine(QPointF(x + 50, 350 - k * dose), QPointF(x + 50, 350));
  }
  p.restore();
}

void drawPulseTrace(QPainter& p, const std::vector<uint8_t>& samples, int threshold, int deadBand,
                    const QColor& fg, const QColor& bg) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(QRect(0, 0, kTraceWidthTwips / kTwipsPerPixel, kTraceHeightTwips / kTwipsPerPixel),
             bg);
  p.scale(1.0 / kTwipsPerPixel, 1.0 / kTwipsPerPixel);
  const double last = samples.empty() ? 0 : double(samples.size() - 1);
  const auto low = static_cast<int16_t>(static_cast<int16_t>(threshold - deadBand) * 8);
  const auto high = static_cast<int16_t>(static_cast<int16_t>(threshold + deadBand) * 8);
  penFor(p, kRed);
  p.drawLine(QPointF(1, low), QPointF(last / 2, low));
  penFor(p, QColor(0, 0, 255));
  p.drawLine(QPointF(1, high), QPointF(last / 2, high));
  penFor(p, fg);
  int x = 1;
  for (size_t i = 1; i < samples.size(); i += 2) p.drawPoint(x++, samples[i] * 8);
  p.restore();
}

}  // namespace radmon
