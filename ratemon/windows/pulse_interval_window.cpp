#include "pulse_interval_window.h"

#include <QCoreApplication>
#include <QPainter>
#include <cmath>
#include <utility>

#include "interval_drawing.h"
#include "number_text.h"
#include "ratemon_messages.h"
#include "ratemon_setting_keys.h"

namespace radmon {

PulseIntervalWindow::PulseIntervalWindow(IntervalSource intervals, QWidget* parent)
    : QWidget(parent, Qt::Window),
      intervals_(std::move(intervals)),
      picture_(kIntervalViewWidth, kIntervalViewHeight, QImage::Format_RGB32) {
  setObjectName("PulseIntervalForm");
  setWindowTitle(QCoreApplication::translate("ratemon", kCaption));
  constexpr int kRowsHeight = 68;
  setFixedSize(picture_.width(), picture_.height() + kRowsHeight);
  auto caption = [](messages::Counting c) { return QString::fromStdString(messages::counting(c)); };
  const int y = picture_.height() + 8;
  deadTimeTick_ = new QCheckBox(caption(messages::Counting::deadTimeTick), this);
  deadTimeTick_->setObjectName("checkDeadTime");
  deadTimeTick_->setGeometry(10, y, 120, 24);
  deadTimeBox_ = new QLineEdit(this);
  deadTimeBox_->setObjectName("textDeadTime");
  deadTimeBox_->setGeometry(132, y, 70, 24);
  auto* unit = new QLabel(caption(messages::Counting::deadTimeUnit), this);
  unit->setGeometry(206, y, 24, 24);
  offerLabel_ = new QLabel(this);
  offerLabel_->setObjectName("labelDeadTimeOffer");
  offerLabel_->setGeometry(232, y, 240, 24);
  bandTick_ = new QCheckBox(caption(messages::Counting::bandTick), this);
  bandTick_->setObjectName("checkBand");
  bandTick_->setGeometry(476, y, 240, 24);
  evidenceTick_ = new QCheckBox(caption(messages::Counting::evidenceTick), this);
  evidenceTick_->setObjectName("checkAlarmOnEvidence");
  evidenceTick_->setToolTip(QCoreApplication::translate("Options", kAlarmOnEvidenceRules));
  evidenceTick_->setGeometry(10, y + 30, 700, 24);
  connect(deadTimeTick_, &QCheckBox::clicked, this, &PulseIntervalWindow::countingEdited);
  connect(bandTick_, &QCheckBox::clicked, this, &PulseIntervalWindow::countingEdited);
  connect(evidenceTick_, &QCheckBox::clicked, this, &PulseIntervalWindow::countingEdited);
  connect(deadTimeBox_, &QLineEdit::editingFinished, this, [this] {
    if (deadTimeTick_->isChecked()) emit countingEdited();
  });
  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, &PulseIntervalWindow::refresh);
  refresh();
}

void PulseIntervalWindow::refresh() {
  std::vector<double> intervals = intervals_ ? intervals_() : std::vector<double>{};
  analysis_ = analyseIntervals(intervals);
  estimate_ = estimateResolvingTime(std::move(intervals));
  showOffer();
  QPainter p(&picture_);
  p.setFont(font());
  drawIntervalView(p, analysis_, palette().color(QPalette::WindowText),
                   palette().color(QPalette::Window));
  p.end();
  update();
}

void PulseIntervalWindow::showCounting(const CountingSettings& settings, double scanMicroseconds) {
  scanMicroseconds_ = scanMicroseconds;
  const bool on = settings.deadTimeMicroseconds > 0;
  deadTimeTick_->setChecked(on);
  deadTimeBox_->setText(on ? QString::fromStdString(shortestText(settings.deadTimeMicroseconds))
                           : QString());
  showOffer();
  bandTick_->setChecked(settings.graphBand);
  evidenceTick_->setChecked(settings.alarmOnEvidence);
}

void PulseIntervalWindow::showOffer() {
  offerLabel_->setText(
      QString::fromStdString(messages::deadTimeOffer(estimate_, scanMicroseconds_)));
  // The box follows the estimate while it holds nothing or what was offered before; a τ
  // typed or set is never replaced.
  const QString box = deadTimeBox_->text();
  if (estimate_.enough && !deadTimeTick_->isChecked() && (box.isEmpty() || box == offered_)) {
    offered_ = QString::fromStdString(shortestText(std::round(estimate_.seconds * 1e6)));
    deadTimeBox_->setText(offered_);
  }
}

std::optional<CountingSettings> PulseIntervalWindow::counting() const {
  CountingSettings settings;
  settings.graphBand = bandTick_->isChecked();
  settings.alarmOnEvidence = evidenceTick_->isChecked();
  if (!deadTimeTick_->isChecked()) return settings;
  const auto tau = readDeadTime(deadTimeBox_->text().toStdString());
  if (!tau) return std::nullopt;
  settings.deadTimeMicroseconds = *tau;
  return settings;
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
