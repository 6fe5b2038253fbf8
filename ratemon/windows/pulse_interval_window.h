// The pulse-interval view: the histogram of the intervals between the last few thousand
// pulses, redrawn every second while the window is shown, and under it the counting
// settings (the dead-time correction with the resolving time estimated from the
// intervals offered, the graph's band, the alarms on evidence). It reads the intervals through a
// function so that it needs nothing of the station but them; the station saves and applies the
// settings.
#pragma once

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "counting_settings.h"
#include "pulse_intervals.h"
#include "resolving_time.h"

namespace radmon {

class PulseIntervalWindow final : public QWidget {
  Q_OBJECT

 public:
  inline static const char* kCaption = QT_TRANSLATE_NOOP("ratemon", "パルス間隔");
  using IntervalSource = std::function<std::vector<double>()>;

  explicit PulseIntervalWindow(IntervalSource intervals, QWidget* parent = nullptr);

  // Reads the intervals, judges them, estimates the resolving time and redraws; an empty
  // τ box of a correction that is off gets the estimate once there is one.
  void refresh();
  const QImage& picture() const { return picture_; }
  const IntervalAnalysis& analysis() const { return analysis_; }
  const ResolvingTimeEstimate& estimate() const { return estimate_; }

  // Shows the settings; when the correction is off, the box offers the estimated
  // resolving time, or stays empty while too few pulses were heard. The scan's own
  // resolving time at its resolution is told beside it as the least τ can be.
  void showCounting(const CountingSettings& settings, double scanMicroseconds);
  // The settings as the controls hold them; no value when the τ box is no usable number.
  std::optional<CountingSettings> counting() const;
  QCheckBox* deadTimeTick() const { return deadTimeTick_; }
  QLineEdit* deadTimeBox() const { return deadTimeBox_; }
  QCheckBox* bandTick() const { return bandTick_; }
  QCheckBox* evidenceTick() const { return evidenceTick_; }

 signals:
  // The operator changed a counting control.
  void countingEdited();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void showOffer();

  IntervalSource intervals_;
  IntervalAnalysis analysis_;
  ResolvingTimeEstimate estimate_;
  double scanMicroseconds_ = 0;
  QImage picture_;
  QTimer timer_;
  QCheckBox* deadTimeTick_ = nullptr;
  QLineEdit* deadTimeBox_ = nullptr;
  QLabel* offerLabel_ = nullptr;
  QString offered_;  // the estimate last put into deadTimeBox_
  QCheckBox* bandTick_ = nullptr;
  QCheckBox* evidenceTick_ = nullptr;
};

}  // namespace radmon
