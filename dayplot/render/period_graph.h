// `drawPeriodGraph`: a month or a year of day files on one panel of the day graph's
// picture size, fonts and colours: each day's range of dose rates as a band, its mean as
// a line, days without a file left as gaps and days with faults marked under the band.
// Saved as the graph name_YYYYMM or the graph name_YYYY in the image formats the day graph uses.
#pragma once

#include <QImage>
#include <string>

#include "day_graph.h"
#include "fault_bands.h"
#include "period_table.h"

namespace radmon {

class PeriodGraph {
 public:
  static constexpr int kLeft = 70;
  static constexpr int kRight = 790;
  static constexpr int kBase = 469;
  static constexpr int kPanelHeight = 340;  // the day graph's two panels and the gap
  static const QColor kBand;
  static const QColor kFault;
  static const QColor kHoursMissing;

  // The references must outlive the graph.
  PeriodGraph(const GraphSettings& settings, MessageSink& messages, const Clock& clock);

  // Draws the period from the day files in `dataFolder` and writes the images asked for.
  // NoDayFile when not one day of the period has a file (nothing written). Never throws.
  // The days at fault come from the days' event logs unless `faults` says otherwise.
  DayGraphResult drawPeriodGraph(const std::string& dataFolder, const Period& period,
                                 const FaultReader& faults = faultSecondsOfDay);

  const QImage& picture() const { return picture_; }
  // The x range [from, to) of day `index` (0-based) of a period of `days` days.
  static int dayLeft(int index, int days);

 private:
  DayGraphResult draw(const std::string& dataFolder, const Period& period,
                      const FaultReader& faults);
  void drawFrame(QPainter& p, const Period& period, double labelStep) const;
  void drawDays(QPainter& p, const PeriodTable& table, double unit) const;
  // `faultsKnown`: an event log reader was given, so the fault mark is explained.
  void drawTexts(QPainter& p, const PeriodTable& table, bool faultsKnown) const;

  const GraphSettings& settings_;
  MessageSink& messages_;
  const Clock& clock_;
  QImage picture_;
};

}  // namespace radmon
