// The graph window `Form1`: the picture `Picture1` that shows the day graph drawn by
// `drawDayGraph`. It has no behaviour of its own; the settings window opens it for a run
// and closes it again after a scheduled one.
#pragma once

#include <QWidget>
#include <string>

#include "day_graph.h"
#include "period_graph.h"
#include "dayplot_settings.h"
#include "settings_sources.h"

class QLabel;

namespace radmon {

class GraphForm final : public QWidget {
  Q_OBJECT

 public:
  // Client area 13350 x 8490 twips; the picture at 360, 120 twips, 841 x 537 pixels.
  static constexpr int kWidth = 890, kHeight = 566;
  static constexpr int kPictureLeft = 24, kPictureTop = 8;

  GraphForm(MessageSink& messages, const Clock& clock, QWidget* parent = nullptr);

  // Draws `TargetDay` with the settings as the controls hold them now and shows it.
  DayGraphResult drawDayGraph(const DayplotSettings& controls, const std::string& dataFolder,
                              const std::string& targetDay);

  // Draws a month or a year the same way and shows it.
  DayGraphResult drawPeriodGraph(const DayplotSettings& controls, const std::string& dataFolder,
                                 const Period& period);

  // The choice of dayplot_readings.ini for the day graph's statistics.
  void setMeanInterval(bool on) { source_.setMeanInterval(on); }

  QLabel* Picture1() const { return picture_; }
  const QImage& image() const { return graph_.picture(); }

 private:
  DayplotSettings controls_;
  SettingsGraphSource source_{controls_};
  DayGraph graph_;
  PeriodGraph period_;
  QLabel* picture_;
};

}  // namespace radmon
