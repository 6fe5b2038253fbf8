#include "day_graph.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QString>
#include <algorithm>
#include <cmath>
#include <exception>

#include "japanese_font.h"
#include "image_files.h"
#include "number_text.h"

namespace radmon {
namespace {

const QColor kPanelGrey(180, 180, 180);
const QColor kAxisBlack(0, 0, 0);
const QColor kGridGrey(100, 100, 100);
const QColor kDrawing(0, 0, 0);  // ticks, curve and text: the picture's drawing colour

constexpr int kLeft = 70;
constexpr int kRight = 790;
constexpr int kPanelHeight = 170;
constexpr int kMorningBase = 239;
constexpr int kAfternoonBase = 469;

void line(QPainter& p, int x1, int y1, int x2, int y2, const QColor& colour) {
  p.setPen(QPen(colour, 1));
  p.drawLine(x1, y1, x2, y2);
}

// The rectangle with corners (x1, y1) and (x2, y2) as an outline.
void rectangle(QPainter& p, int x1, int y1, int x2, int y2, const QColor& colour) {
  p.setPen(QPen(colour, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(x1, y1, x2 - x1, y2 - y1);
}

// The text with the top left of its first character cell at (x, y).
void text(QPainter& p, int x, int y, const std::string& utf8) {
  p.setPen(QPen(kDrawing, 1));
  p.drawText(x, y + QFontMetrics(p.font()).ascent(), QString::fromStdString(utf8));
}

// ⌊B − r × U⌋, kept in a range that a line can be drawn with; far outside the picture
// the exact value does not change which pixels are drawn.
int plotY(int base, double rate, double unit) {
  const double y = std::floor(base - rate * unit);
  return static_cast<int>(std::clamp(y, -1.0e6, 1.0e6));
}

// The scale maximum M as a positive number whose unit 170 / M can be formed.
std::optional<double> scaleMaximum(const std::string& text) {
  const auto m = readNumber(text);
  if (!m || !(*m > 0) || !std::isfinite(kPanelHeight / *m)) return std::nullopt;
  return m;
}

// The date and time the graph was made, as a Japanese desktop shows them in short form
// (2011/04/05  9:05); with seconds the line would run past the picture's right edge.
std::string madeText(const LocalDateTime& now) {
  std::string text = now.slashDate();
  text += "  ";
  text += std::to_string(now.hour);
  text += now.hhmm().substr(2);
  return text;
}

}  // namespace

const QColor DayGraph::kBackground(240, 240, 240);

std::string statisticText(double value) {
  std::string text = value < 1 ? "" : " ";
  text += shortestText(value);
  return text;
}

DayGraph::DayGraph(const GraphSettings& settings, MessageSink& messages, const Clock& clock)
    : settings_(settings), messages_(messages), clock_(clock),
      picture_(kWidth, kHeight, QImage::Format_RGB32) {
  picture_.setDotsPerMeterX(3780);  // 96 dpi, so points are the sizes a screen shows
  picture_.setDotsPerMeterY(3780);
  picture_.fill(kBackground);
}

DayGraphResult DayGraph::DrawDayGraph(const std::string& dataFolder,
                                      const std::string& targetDay) {
  try {
    return draw(dataFolder, targetDay);
  } catch (const std::exception& e) {
    messages_.show(say::graphFailed(e.what()));
  } catch (...) {
    messages_.show(say::graphFailed({}));
  }
  return DayGraphResult::Failed;
}

DayGraphResult DayGraph::draw(const std::string& dataFolder, const std::string& targetDay) {
  const auto m = scaleMaximum(settings_.scaleMaximumText());
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
  const double labelStep = roundHalfEven(*m / 5, 2);
  for (const int base : {kMorningBase, kAfternoonBase}) {
    for (int i = 0; i <= 5; ++i) {
      const int y = base - 34 * i;
      line(p, 65, y, kLeft, y, kDrawing);
      line(p, kLeft, y, kRight, y, kGridGrey);
      text(p, 40, y - 5, axisLabelText(i * labelStep));
    }
    text(p, 5, base == kMorningBase ? 80 : 310, "μSV/h");
    line(p, kLeft, base, kRight, base, kAxisBlack);
  }

  const std::string path = DayFilePath(dataFolder, targetDay);
  const auto table = ReadDayTable(path);
  if (!table) {
    p.end();
    messages_.show(say::noDayFile());
    return DayGraphResult::NoDayFile;
  }
  // A damaged line leaves a gap in the curve: the operator is told how many.
  if (table->skippedLines > 0) {
    messages_.show(say::skippedLines(path, table->skippedLines));
  }

  const double unit = kPanelHeight / *m;
  const DailyStats stats =
      runDayPass(*table, [&](const PlotPair& pair) { drawCurve(p, pair, unit); });
  drawTexts(p, *table, stats);
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
      std::string hour(1, ' ');
      hour += std::to_string(morning ? i : i + 12);
      hour += " 時";
      text(p, x - 10, morning ? 259 : 489, hour);
    }
    text(p, 760, morning ? 270 : 498, "→時間");
  }
}

void DayGraph::drawCurve(QPainter& p, const PlotPair& pair, double unit) const {
  if (!pair.drawn) return;
  const int base = pair.halfDay == HalfDay::Morning ? kMorningBase : kAfternoonBase;
  line(p, kLeft + pair.t1, plotY(base, pair.r1, unit), kLeft + pair.t2,
       plotY(base, pair.r2, unit), kDrawing);
}

void DayGraph::drawTexts(QPainter& p, const DayTable& table, const DailyStats& stats) const {
  p.setFont(japaneseFont(24));
  text(p, 5, 5, titleDate(table));

  p.setFont(japaneseFont(12));
  text(p, 70, 45, "[ 日最大:" + statisticText(stats.maximum));
  text(p, 200, 45, "日平均:" + statisticText(stats.average) + " ]");

  p.setFont(japaneseFont(9));
  const LocalDateTime now = clock_.now();
  text(p, 670, 20, "測定場所: " + settings_.placeText());
  text(p, 670, 5, "作成日: " + madeText(now));
  text(p, 670, 35, "測定管: " + settings_.tubeText());
}

DayGraphResult DayGraph::writeImages(const std::string& dataFolder,
                                     const std::string& targetDay) {
  const std::string base =
      dataFolder + imageBaseName(settings_.baseNameText(), targetDay, clock_.now().yyyymmdd());
  bool failed = false;
  auto write = [&](const std::string& path, ImageFormat format) {
    if (auto failure = writeImageFile(picture_, path, format)) {
      messages_.show(say::imageNotWritten(format == ImageFormat::Jpeg, path, failure->reason));
      failed = true;
    }
  };
  if (settings_.bmpWanted()) write(base + ".bmp", ImageFormat::Bmp);
  if (settings_.jpegWanted()) write(base + ".jpg", ImageFormat::Jpeg);
  return failed ? DayGraphResult::WriteFailed : DayGraphResult::Done;
}

}  // namespace radmon
