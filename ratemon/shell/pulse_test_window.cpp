#include "pulse_test_window.h"

#include <QCoreApplication>
#include <QPainter>

#include "window_drawing.h"

namespace radmon {

PulseTestWindow::PulseTestWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      picture_(kTraceWidthTwips / kTwipsPerPixel, kTraceHeightTwips / kTwipsPerPixel,
               QImage::Format_RGB32) {
  setObjectName("Form2");
  setWindowTitle(QCoreApplication::translate("ratemon", kCaption));
  setFixedSize(picture_.size());
  picture_.fill(palette().color(QPalette::Window));
}

void PulseTestWindow::showTrace(const std::vector<uint8_t>& samples, int threshold,
                                int deadBand) {
  QPainter p(&picture_);
  drawPulseTrace(p, samples, threshold, deadBand, palette().color(QPalette::WindowText),
                 palette().color(QPalette::Window));
  p.end();
  update();
}

void PulseTestWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, picture_);
}

}  // namespace radmon
