// `drawDayGraph`: one day of dose rates drawn as two half-day panels on an 841 x 537
// picture at 96 dpi, with the date, the daily maximum and average and the station lines
// above, then saved as BMP and/or JPEG in the data folder. The picture outlives a run so
// that the graph window can show it.
#pragma once

#include <QColor>
#include <QImage>
#include <optional>
#include <string>
#include <vector>

#include "event_log.h"

#include "day_pass.h"
#include "dayplot_messages.h"
#include "graph_settings.h"
#include "local_time.h"

class QPainter;

namespace radmon {

enum class DayGraphResult {
  Done,         // drawn; every image asked for was written (or none was asked)
  NoDayFile,    // "ファイルがありません": the panels are drawn, nothing else
  BadScale,     // the scale maximum is no positive number: nothing drawn or written
  WriteFailed,  // drawn, but an image file could not be written
  Failed,       // an unexpected error (out of memory and the like), reported
};

// The figure after the daily maximum and average: below 1 with its leading zero
// (0.052, 0), from 1 on after one blank (" 1.5", " 2").
std::string statisticText(double value);

class DayGraph {
 public:
  static constexpr int kWidth = 841;
  static constexpr int kHeight = 537;
  // The axis labels use the picture's own size; each run starts from it again.
  static constexpr int kInitialPoints = 9;
  static const QColor kBackground;  // the light control face of a picture box

  // The references must outlive the graph.
  DayGraph(const GraphSettings& settings, MessageSink& messages, const Clock& clock);

  // Draws `TargetDay` from the day file in `dataFolder` and writes the images asked for.
  // Every run starts from a clean picture, so a day always gives the same image.
  // Reports every failure through the message sink and never throws, so a window can
  // call it straight from a timer or a button.
  DayGraphResult drawDayGraph(const std::string& dataFolder, const std::string& targetDay);

  const QImage& picture() const { return picture_; }
  // The sound path's fault periods of the day drawn last (from its event log).
  const std::vector<FaultPeriod>& faultPeriods() const { return faults_; }
  // The day's figures as drawn last (minutes set aside for faults left out); nothing
  // when no day file was read.
  const std::optional<DailyStats>& statistics() const { return stats_; }

 private:
  DayGraphResult draw(const std::string& dataFolder, const std::string& targetDay);
  void drawPanels(QPainter& p) const;
  void drawCurve(QPainter& p, const PlotPair& pair, double unit) const;
  // `meanInterval`: the interval's text after the day's mean, empty for none.
  void drawTexts(QPainter& p, const DayTable& table, const DailyStats& stats,
                 const std::string& meanInterval) const;
  DayGraphResult writeImages(const std::string& dataFolder, const std::string& targetDay);

  const GraphSettings& settings_;
  MessageSink& messages_;
  const Clock& clock_;
  QImage picture_;
  std::vector<FaultPeriod> faults_;
  std::optional<DailyStats> stats_;
};

}  // namespace radmon
