#include "graph_form.h"

#include <QLabel>
#include <QPixmap>

#include "day_graph.h"
#include "dayplot_messages.h"

namespace radmon {

GraphForm::GraphForm(QWidget* parent) : QWidget(parent, Qt::Window), picture_(new QLabel(this)) {
  setObjectName("Form1");
  // "Form1" is the Japanese window's title as it always was; English names the graph.
  setWindowTitle(dayplot::tr("Form1"));
  setFixedSize(kWidth, kHeight);
  picture_->setObjectName("Picture1");
  picture_->setGeometry(kPictureLeft, kPictureTop, DayGraph::kWidth, DayGraph::kHeight);
  picture_->setAutoFillBackground(true);
  QPalette palette = picture_->palette();
  palette.setColor(QPalette::Window, DayGraph::kBackground);
  picture_->setPalette(palette);
}

void GraphForm::showPicture(const QImage& picture) {
  image_ = picture;
  picture_->setPixmap(QPixmap::fromImage(image_));
}

}  // namespace radmon
