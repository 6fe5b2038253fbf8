// The graph window `Form1`: the picture `Picture1` that shows the graph the publishing
// session drew last. It has no behaviour of its own; the settings window opens it for a
// run and closes it again after a scheduled one.
#pragma once

#include <QImage>
#include <QWidget>

class QLabel;

namespace radmon {

class GraphForm final : public QWidget {
  Q_OBJECT

 public:
  // Client area 13350 x 8490 twips; the picture at 360, 120 twips, 841 x 537 pixels.
  static constexpr int kWidth = 890, kHeight = 566;
  static constexpr int kPictureLeft = 24, kPictureTop = 8;

  explicit GraphForm(QWidget* parent = nullptr);

  void showPicture(const QImage& picture);

  QLabel* Picture1() const { return picture_; }
  const QImage& image() const { return image_; }

 private:
  QImage image_;
  QLabel* picture_;
};

}  // namespace radmon
