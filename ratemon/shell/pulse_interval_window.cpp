#include "pulse_interval_window.h"

#include <QPainter>

#include "interval_drawing.h"

namespace radmon {

PulseIntervalWindow::PulseIntervalWindow(IntervalSource intervals, QWidget* parent)
    : QWidget(parent, Qt::Window), intervals_(std::move(intervals)),
      picture_(kIntervalViewWidth, kIntervalViewHeight, QImage::Format_RGB32) {
  setObjectName("PulseIntervalForm");
  setWindowTitle(QString::fromUtf8(kCaption));
  setFixedSize(picture_.size());
  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, &PulseIntervalWindow::refresh);
  refresh();
}

void PulseIntervalWindow::refresh() {
  analysis_ = analyseIntervals(intervals_ ? intervals_() : std::vector<double>{});
  QPainter p(&picture_);
  p.setFont(font());
  drawIntervalView(p, analysis_, palette().color(QPalette::WindowText),
                   palette().color(QPalette::Window));
  p.end();
  update();
}

void PulseIntervalWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, picture_);
}

void PulseIntervalWindow::showEvent(QShowEvent*) {
  refresh();
  timer_.start();
}

void PulseIntervalWindow::hideEvent(QHideEvent*) { timer_.stop(); }

}  // namespace radmon
