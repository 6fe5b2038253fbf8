// A window of its own that shows a kept picture, so that what was drawn survives a
// repaint: the base of the real-time graph and the pulse test windows.
#pragma once

#include <QCoreApplication>

#include <QImage>
#include <QPainter>
#include <QWidget>

namespace radmon {

class PictureWindow : public QWidget {
 public:
  // The window is as large as its picture, which starts in the palette's `fill`.
  PictureWindow(const char* name, const char* caption, QSize size, QPalette::ColorRole fill,
                QWidget* parent)
      : QWidget(parent, Qt::Window), picture_(size, QImage::Format_RGB32) {
    setObjectName(name);
    setWindowTitle(QCoreApplication::translate("ratemon", caption));
    setFixedSize(size);
    picture_.fill(palette().color(fill));
  }
  const QImage& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, picture_); }

  QImage picture_;
};

}  // namespace radmon
