#include "period_graph.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <exception>
#include <map>

#include "graph_names.h"
#include "graph_parts.h"
#include "japanese_font.h"
#include "number_text.h"

namespace radmon {
namespace {

using namespace graph;

constexpr int kGridStep = PeriodGraph::kPanelHeight / 5;
constexpr int kTop = PeriodGraph::kBase - PeriodGraph::kPanelHeight;
constexpr int kFaultHeight = 5;
// The mark of a day with hours missing sits just over the fault mark.
constexpr int kMissingTop = PeriodGraph::kBase - 2 * kFaultHeight - 1;

}  // namespace

const QColor PeriodGraph::kBand(170, 200, 235);
const QColor PeriodGraph::kFault(230, 120, 120);
const QColor PeriodGraph::kHoursMissing(235, 170, 50);

PeriodGraph::PeriodGraph(const GraphSettings& settings, MessageSink& messages, const Clock& clock)
    : settings_(settings),
      messages_(messages),
      clock_(clock),
      picture_(graph::blankPicture(DayGraph::kWidth, DayGraph::kHeight, DayGraph::kBackground)) {}

int PeriodGraph::dayLeft(int index, int days) {
  return kLeft + static_cast<int>(static_cast<int64_t>(kRight - kLeft) * index / days);
}

DayGraphResult PeriodGraph::drawPeriodGraph(const std::string& dataFolder, const Period& period,
                                            const FaultReader& faults) {
  return graph::guarded(messages_, [&] { return draw(dataFolder, period, faults); });
}

DayGraphResult PeriodGraph::draw(const std::string& dataFolder, const Period& period,
                                 const FaultReader& faults) {
  const auto m = scaleMaximum(settings_.scaleMaximumText(), kPanelHeight);
  if (!m) {
    messages_.show(say::badScale());
    return DayGraphResult::BadScale;
  }
  const auto read = readPeriodTable(dataFolder, period, faults);
  const PeriodTable& table = read.value;
  // Damaged lines leave gaps as on the day graph: the operator hears of each file at once.
  std::map<std::string, std::vector<LineIssue<RecordIssue>>> skipped;
  for (const auto& issue : read.issues) skipped[issue.subject].push_back(issue);
  std::string told;
  for (const auto& [file, lines] : skipped)
    told += (told.empty() ? "" : "\n") + say::skippedLines(dataFolder + file, lines);
  if (!told.empty()) messages_.show(told);

  picture_.fill(DayGraph::kBackground);
  QPainter p(&picture_);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.setFont(japaneseFont(DayGraph::kInitialPoints));
  drawFrame(p, period, roundHalfEven(*m / 5, 2));
  if (table.daysPresent == 0) {
    p.end();
    messages_.show(say::noPeriodFile());
    return DayGraphResult::NoDayFile;
  }
  drawDays(p, table, kPanelHeight / *m);
  drawTexts(p, table, static_cast<bool>(faults));
  p.end();
  const std::string base = dataFolder + periodImageBaseName(settings_.baseNameText(), period);
  return writeImages(picture_, settings_, base, messages_) ? DayGraphResult::Done
                                                           : DayGraphResult::WriteFailed;
}

void PeriodGraph::drawFrame(QPainter& p, const Period& period, double labelStep) const {
  rectangle(p, kLeft, kTop, kRight, kBase, kPanelGrey);
  for (int i = 0; i <= 5; ++i) {
    const int y = kBase - kGridStep * i;
    line(p, 65, y, kLeft, y, kDrawing);
    line(p, kLeft, y, kRight, y, kGridGrey);
    text(p, 40, y - 5, axisLabelText(i * labelStep));
  }
  text(p, 5, kTop + 120, word(QT_TRANSLATE_NOOP("DayGraph", "μSV/h")));
  line(p, kLeft, kTop, kLeft, kBase, kAxisBlack);
  line(p, kLeft, kBase, kRight, kBase, kAxisBlack);

  const auto days = static_cast<int>(period.days().size());
  if (period.kind == PeriodKind::Month) {
    // A tick in the middle of every day, the day's number under the 1st, 5th, 10th...
    for (int d = 1; d <= days; ++d) {
      const int x = (dayLeft(d - 1, days) + dayLeft(d, days)) / 2;
      const bool labelled = d == 1 || d % 5 == 0;
      line(p, x, kBase, x, kBase + (labelled ? 10 : 5), kDrawing);
      if (labelled) text(p, x - (d < 10 ? 4 : 8), kBase + 20, std::to_string(d));
    }
    text(p, 760, kBase + 38, word(QT_TRANSLATE_NOOP("DayGraph", "→日")));
  } else {
    // A tick where each month begins, its name in the middle of it.
    const auto all = period.days();
    int first = 0;
    for (int month = 1; month <= 12; ++month) {
      int last = first;
      while (last < days && std::stoi(all[static_cast<size_t>(last)].substr(4, 2)) == month) ++last;
      const int x = dayLeft(first, days);
      line(p, x, kBase, x, kBase + 10, kDrawing);
      const int middle = (x + dayLeft(last, days)) / 2;
      text(p, middle - (month < 10 ? 10 : 14), kBase + 20,
           QCoreApplication::translate("DayGraph", "%1月").arg(month).toStdString());
      first = last;
    }
    line(p, kRight, kBase, kRight, kBase + 10, kDrawing);
    text(p, 760, kBase + 38, word(QT_TRANSLATE_NOOP("DayGraph", "→月")));
  }
}

void PeriodGraph::drawDays(QPainter& p, const PeriodTable& table, double unit) const {
  const int days = static_cast<int>(table.days.size());
  p.save();
  p.setClipRect(kLeft + 1, kTop, kRight - kLeft - 1, kPanelHeight);
  // Bands first, so that the mean line lies on top of every band.
  for (int i = 0; i < days; ++i) {
    const DaySummary& d = table.days[static_cast<size_t>(i)];
    const int x1 = dayLeft(i, days), x2 = dayLeft(i + 1, days) - 1;
    if (d.faultSeconds > 0) p.fillRect(x1, kBase - kFaultHeight, x2 - x1 + 1, kFaultHeight, kFault);
    if (!d.present) continue;
    const int yHigh = plotY(kBase, d.high, unit), yLow = plotY(kBase, d.low, unit);
    p.fillRect(x1, yHigh, x2 - x1 + 1, std::max(1, yLow - yHigh + 1), kBand);
    // Over the band, so that a short day's low band does not hide it.
    if (d.hoursMissing) p.fillRect(x1, kMissingTop, x2 - x1 + 1, kFaultHeight, kHoursMissing);
  }
  // The grid stays readable over the bands.
  for (int i = 1; i < 5; ++i)
    line(p, kLeft, kBase - kGridStep * i, kRight, kBase - kGridStep * i, kGridGrey);
  // The mean joins the middles of neighbouring days that both have a file; a day alone
  // between gaps shows its mean across its own width.
  for (int i = 0; i < days; ++i) {
    const DaySummary& d = table.days[static_cast<size_t>(i)];
    if (!d.present) continue;
    const int x = (dayLeft(i, days) + dayLeft(i + 1, days)) / 2;
    const int y = plotY(kBase, d.netMean, unit);
    const bool before = i > 0 && table.days[static_cast<size_t>(i - 1)].present;
    const bool after = i + 1 < days && table.days[static_cast<size_t>(i + 1)].present;
    if (after) {
      const DaySummary& next = table.days[static_cast<size_t>(i + 1)];
      line(p, x, y, (dayLeft(i + 1, days) + dayLeft(i + 2, days)) / 2,
           plotY(kBase, next.netMean, unit), kDrawing);
    } else if (!before) {
      line(p, dayLeft(i, days), y, dayLeft(i + 1, days) - 1, y, kDrawing);
    }
  }
  p.restore();
}

void PeriodGraph::drawTexts(QPainter& p, const PeriodTable& table, bool faultsKnown) const {
  const bool month = table.period.kind == PeriodKind::Month;
  p.setFont(japaneseFont(24));
  const std::string name = table.period.name();
  const QString year = QString::fromStdString(name.substr(0, 4));
  text(p, 5, 5,
       (month ? QCoreApplication::translate("DayGraph", "%1年%2月")
                    .arg(year, QString::fromStdString(name.substr(4, 2)))
              : QCoreApplication::translate("DayGraph", "%1年").arg(year))
           .toStdString());

  p.setFont(japaneseFont(12));
  text(p, 70, 45,
       word(month ? QT_TRANSLATE_NOOP("DayGraph", "[ 月最大:")
                  : QT_TRANSLATE_NOOP("DayGraph", "[ 年最大:")) +
           statisticText(table.maximum));
  text(p, 200, 45,
       word(month ? QT_TRANSLATE_NOOP("DayGraph", "月平均:")
                  : QT_TRANSLATE_NOOP("DayGraph", "年平均:")) +
           statisticText(table.mean) + " ]");

  // What the marks mean, above the panel.
  p.setFont(japaneseFont(9));
  const int y = kTop - 22;
  // Each mark at its place, or further right where the words before it need the room.
  const QFontMetrics metrics(p.font());
  int end = 0;
  auto entry = [&](int place, int legend) {
    const int x = std::max(place, end + 12);
    const std::string words = say::periodLegend(legend);
    text(p, x + 22, y, words);
    end = x + 22 + metrics.horizontalAdvance(QString::fromStdString(words));
    return x;
  };
  p.fillRect(entry(330, 0), y + 3, 18, 10, kBand);
  const int meanX = entry(460, 1);
  line(p, meanX, y + 8, meanX + 18, y + 8, kDrawing);
  if (faultsKnown) p.fillRect(entry(540, 2), y + 5, 18, kFaultHeight, kFault);
  if (std::any_of(table.days.begin(), table.days.end(),
                  [](const DaySummary& d) { return d.hoursMissing; }))
    p.fillRect(entry(540, 3), y + 5, 18, kFaultHeight, kHoursMissing);
  text(p, 330, y - 16, say::daysWithFile(table.daysPresent, static_cast<int>(table.days.size())));

  stationLines(p, settings_, clock_.now());
}

}  // namespace radmon
