#include "pulse_test_window.h"

#include <QCoreApplication>
#include <QPainter>

#include "window_drawing.h"

namespace radmon {

PulseTestWindow::PulseTestWindow(QWidget* parent)
    : PictureWindow("Form2", kCaption,
                    {kTraceWidthTwips / kTwipsPerPixel, kTraceHeightTwips / kTwipsPerPixel},
                    QPalette::Window, parent) {}

void PulseTestWindow::showTrace(const std::vector<uint8_t>& samples, int threshold, int deadBand) {
  QPainter p(&picture_);
  drawPulseTrace(p, samples, threshold, deadBand, palette().color(QPalette::WindowText),
                 palette().color(QPalette::Window));
  p.end();
  update();
}

}  // namespace radmon
