// The pulse-interval view: the histogram of the intervals between the last few thousand
// pulses, redrawn every second while the window is shown. It reads the intervals through
// a function so that it needs nothing of the station but them.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "pulse_intervals.h"

namespace radmon {

class PulseIntervalWindow final : public QWidget {
  Q_OBJECT

 public:
  inline static const char* kCaption = "パルス間隔";
  using IntervalSource = std::function<std::vector<double>()>;

  explicit PulseIntervalWindow(IntervalSource intervals, QWidget* parent = nullptr);

  // Reads the intervals, judges them and redraws.
  void refresh();
  const QImage& picture() const { return picture_; }
  const IntervalAnalysis& analysis() const { return analysis_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  IntervalSource intervals_;
  IntervalAnalysis analysis_;
  QImage picture_;
  QTimer timer_;
};

}  // namespace radmon
