#include "graph_form.h"

#include <QLabel>
#include <QPixmap>

namespace radmon {

GraphForm::GraphForm(MessageSink& messages, const Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window),
      graph_(source_, messages, clock),
      period_(source_, messages, clock),
      picture_(new QLabel(this)) {
  setObjectName("Form1");
  setWindowTitle("Form1");
  setFixedSize(kWidth, kHeight);
  picture_->setObjectName("Picture1");
  picture_->setGeometry(kPictureLeft, kPictureTop, DayGraph::kWidth, DayGraph::kHeight);
  picture_->setAutoFillBackground(true);
  QPalette palette = picture_->palette();
  palette.setColor(QPalette::Window, DayGraph::kBackground);
  picture_->setPalette(palette);
}

DayGraphResult GraphForm::drawDayGraph(const DayplotSettings& controls,
                                       const std::string& dataFolder,
                                       const std::string& targetDay) {
  controls_ = controls;
  const DayGraphResult result = graph_.drawDayGraph(dataFolder, targetDay);
  picture_->setPixmap(QPixmap::fromImage(graph_.picture()));
  return result;
}

DayGraphResult GraphForm::drawPeriodGraph(const DayplotSettings& controls,
                                          const std::string& dataFolder, const Period& period) {
  controls_ = controls;
  const DayGraphResult result = period_.drawPeriodGraph(dataFolder, period);
  picture_->setPixmap(QPixmap::fromImage(period_.picture()));
  return result;
}

}  // namespace radmon
