#include "graph_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPainter>

#include "interval_drawing.h"
#include "window_drawing.h"

namespace radmon {

// Nothing is drawn until the next measured second.
GraphWindow::GraphWindow(QWidget* parent)
    : PictureWindow("Form3", kCaption, {kGraphWidth, kGraphHeight}, QPalette::Button, parent) {}

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

void GraphWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}

}  // namespace radmon
