#include "day_graph.h"

#include <QCoreApplication>
#include <QPainter>
#include <exception>

#include "fault_bands.h"
#include "graph_names.h"
#include "graph_parts.h"
#include "japanese_font.h"
#include "number_text.h"
#include "period_table.h"
#include "suspect_minutes.h"

namespace radmon {
namespace {

using namespace graph;

constexpr int kLeft = 70;
constexpr int kRight = 790;
constexpr int kPanelHeight = 170;
constexpr int kMorningBase = 239;
constexpr int kAfternoonBase = 469;
constexpr int kSecondsInDay = 86400;

}  // namespace

const QColor DayGraph::kBackground(240, 240, 240);

std::string statisticText(double value) {
  std::string text = value < 1 ? "" : " ";
  text += shortestText(value);
  return text;
}

DayGraph::DayGraph(const GraphSettings& settings, MessageSink& messages, const Clock& clock)
    : settings_(settings),
      messages_(messages),
      clock_(clock),
      picture_(graph::blankPicture(kWidth, kHeight, kBackground)) {}

DayGraphResult DayGraph::drawDayGraph(const std::string& dataFolder, const std::string& targetDay) {
  return graph::guarded(messages_, [&] { return draw(dataFolder, targetDay); });
}

DayGraphResult DayGraph::draw(const std::string& dataFolder, const std::string& targetDay) {
  stats_.reset();
  const auto m = scaleMaximum(settings_.scaleMaximumText(), kPanelHeight);
  if (!m) {
    messages_.show(say::badScale());
    return DayGraphResult::BadScale;
  }

  picture_.fill(kBackground);
  QPainter p(&picture_);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.setFont(japaneseFont(kInitialPoints));

  drawPanels(p);
  // The sound path's faults, behind the grid and the curve; nothing without a log.
  const LocalDateTime now = clock_.now();
  const int openUntil = targetDay == now.yyyymmdd() ? now.secondOfDay() : kSecondsInDay;
  const auto faults = readDayFaults(dataFolder, targetDay, openUntil);
  faults_ = faults.value;
  auto skipped = faults.issues;
  std::erase_if(skipped, [](const auto& issue) { return issue.kind != RecordIssue::NotRecord; });
  if (!skipped.empty())
    messages_.show(say::skippedLines(dataFolder + eventFileName(targetDay), skipped));
  drawFaultBands(p, faults_, {kLeft, kMorningBase, kAfternoonBase, kPanelHeight});
  const double labelStep = roundHalfEven(*m / 5, 2);
  for (const int base : {kMorningBase, kAfternoonBase}) {
    for (int i = 0; i <= 5; ++i) {
      const int y = base - 34 * i;
      line(p, 65, y, kLeft, y, kDrawing);
      line(p, kLeft, y, kRight, y, kGridGrey);
      text(p, 40, y - 5, axisLabelText(i * labelStep));
    }
    text(p, 5, base == kMorningBase ? 80 : 310, word(QT_TRANSLATE_NOOP("DayGraph", "μSV/h")));
    line(p, kLeft, base, kRight, base, kAxisBlack);
  }

  const std::string path = dayFilePath(dataFolder, targetDay);
  const auto read = readDayTable(path);
  if (read.has(RecordIssue::Missing)) {
    p.end();
    messages_.show(say::noDayFile());
    return DayGraphResult::NoDayFile;
  }
  const DayTable& table = read.value;
  // A damaged line leaves a gap in the curve: the operator is told which.
  if (!read.clean()) messages_.show(say::skippedLines(path, read.issues));

  const double unit = kPanelHeight / *m;
  // The minutes heard while the sound path was at fault are drawn apart and not counted.
  const DailyStats stats = runDayPass(
      table, [&](const PlotPair& pair) { drawCurve(p, pair, unit); },
      suspectRecords(table.rows, faults_));
  stats_ = stats;
  std::string meanInterval;
  if (settings_.meanIntervalWanted()) {
    // The mean shown beside its interval is the one made from the same pulses, net of
    // the background, so that it lies inside it; the three figures are rounded alike.
    if (const auto mean = dayMean95(readDaySummary(dataFolder, targetDay).value)) {
      stats_->average = roundHalfEven(mean->mean, 3);
      meanInterval.append(" ").append(
          say::meanInterval(fixed3Text(roundHalfEven(mean->interval.lower, 3)),
                            fixed3Text(roundHalfEven(mean->interval.upper, 3))));
      if (mean->belowBackground) meanInterval.append(" ").append(say::meanBelowBackground());
    }
  }
  drawTexts(p, table, *stats_, meanInterval);
  p.end();
  return writeImages(dataFolder, targetDay);
}

void DayGraph::drawPanels(QPainter& p) const {
  for (const int base : {kMorningBase, kAfternoonBase}) {
    const int top = base - kPanelHeight;
    rectangle(p, kLeft, top, kRight, base, kPanelGrey);
    line(p, kLeft, top, kLeft, base, kAxisBlack);
    line(p, kLeft, base, kRight, base, kAxisBlack);
  }
  for (const int base : {kMorningBase, kAfternoonBase}) {
    const bool morning = base == kMorningBase;
    for (int i = 0; i <= 12; ++i) {
      const int x = kLeft + 60 * i;
      line(p, x, base, x, base + 10, kDrawing);
      const std::string hour =
          QCoreApplication::translate("DayGraph", " %1 時").arg(morning ? i : i + 12).toStdString();
      text(p, x - 10, morning ? 259 : 489, hour);
    }
    text(p, 760, morning ? 270 : 498, word(QT_TRANSLATE_NOOP("DayGraph", "→時間")));
  }
}

void DayGraph::drawCurve(QPainter& p, const PlotPair& pair, double unit) const {
  if (!pair.drawn) return;
  const int base = pair.halfDay == HalfDay::Morning ? kMorningBase : kAfternoonBase;
  line(p, kLeft + pair.t1, plotY(base, pair.r1, unit), kLeft + pair.t2, plotY(base, pair.r2, unit),
       pair.suspect ? kSuspectCurve : kDrawing);
}

void DayGraph::drawTexts(QPainter& p, const DayTable& table, const DailyStats& stats,
                         const std::string& meanInterval) const {
  p.setFont(japaneseFont(24));
  const auto [year, month, day] = titleDateParts(table);
  text(p, 5, 5,
       QCoreApplication::translate("DayGraph", "%1年%2月%3日")
           .arg(QString::fromStdString(year), QString::fromStdString(month),
                QString::fromStdString(day))
           .toStdString());

  p.setFont(japaneseFont(12));
  text(p, 70, 45, word(QT_TRANSLATE_NOOP("DayGraph", "[ 日最大:")) + statisticText(stats.maximum));
  text(p, 200, 45,
       word(QT_TRANSLATE_NOOP("DayGraph", "日平均:")) + statisticText(stats.average) +
           meanInterval + " ]");

  stationLines(p, settings_, clock_.now());
}

DayGraphResult DayGraph::writeImages(const std::string& dataFolder, const std::string& targetDay) {
  const std::string base =
      dataFolder + imageBaseName(settings_.baseNameText(), targetDay, clock_.now().yyyymmdd());
  return graph::writeImages(picture_, settings_, base, messages_) ? DayGraphResult::Done
                                                                  : DayGraphResult::WriteFailed;
}

}  // namespace radmon
