#include "graph_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPainter>

#include "interval_drawing.h"
#include "window_drawing.h"

namespace radmon {

GraphWindow::GraphWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), picture_(kGraphWidth, kGraphHeight, QImage::Format_RGB32) {
  setObjectName("Form3");
  setWindowTitle(QCoreApplication::translate("ratemon", kCaption));
  setFixedSize(kGraphWidth, kGraphHeight);
  // Nothing is drawn until the next measured second.
  picture_.fill(palette().color(QPalette::Button));
}

void GraphWindow::redraw(const std::array<float, 600>& history, int newestSlot,
                         const std::string& limit1Text, const std::string& limit2Text,
                         const IntervalHistory* band) {
  QPainter p(&picture_);
  p.setFont(font());
  drawDoseGraph(p, history, newestSlot, limit1Text, limit2Text,
                palette().color(QPalette::ButtonText), palette().color(QPalette::Button));
  if (band) drawDoseBand(p, band->low(), band->high(), newestSlot, limit2Text);
  p.end();
  update();
}

void GraphWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, picture_);
}

void GraphWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}

}  // namespace radmon
