#include "interval_drawing.h"

#include <QCheckBox>
#include <QFont>
#include <QImage>

#include <gtest/gtest.h>

#include <random>

#include "pulse_interval_window.h"
#include "qt_app.h"
#include "reading_interval.h"
#include "window_drawing.h"

namespace radmon {
namespace {

const QColor kFg(0, 0, 0);
const QColor kBg(240, 240, 240);

// A hand-made judgement: 300 intervals of 1 to 3 s, half of them in one bin.
IntervalAnalysis analysisWith(std::vector<IntervalVerdict> verdicts) {
  std::vector<double> intervals(150, 2.0);
  for (int k = 0; k < 150; ++k) intervals.push_back(1.0 + k / 75.0);
  IntervalAnalysis a = analyseIntervals(intervals);
  a.verdicts = std::move(verdicts);
  a.shortest = 0.5e-3;
  a.holeLoss = 0.023;
  a.shortObserved = 40;
  a.shortExpected = 1.2;
  a.mainsHz = 60;
  return a;
}

}  // namespace

TEST(IntervalView, SummaryNamesTheShortestIntervalAndGivesAdvicePerVerdict) {
  using V = IntervalVerdict;
  const struct {
    V verdict;
    const char* says;
  } cases[] = {
      {V::TooFew, "足りません"},       {V::LooksRandom, "指数分布"},
      {V::Rings, "リンギング"},        {V::ResolutionEatsPulses, "約 2.3 % 取りこぼして"},
      {V::MainsPeaks, "電源 (60 Hz)"},
  };
  for (const auto& c : cases) {
    const auto lines = intervalSummaryLines(analysisWith({c.verdict}));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("最短間隔: 500 μs"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find(c.says), std::string::npos) << lines[1];
  }
  EXPECT_EQ(intervalSummaryLines(analyseIntervals({})).size(), 1u);  // no pulses: no figures
}

TEST(IntervalView, BarsOnTheLogAxisUnderThePoissonCurveAndTheWindowRedrawsFromItsSource) {
  testApp();
  const IntervalAnalysis a = analysisWith({IntervalVerdict::LooksRandom});
  QImage img(kIntervalViewWidth, kIntervalViewHeight, QImage::Format_RGB32);
  QPainter p(&img);
  p.setFont(QFont());
  drawIntervalView(p, a, kFg, kBg);
  p.end();
  EXPECT_EQ(intervalX(kFirstBin), kHistogramLeft);
  EXPECT_EQ(intervalX(kLastBin), kHistogramRight);
  EXPECT_EQ(intervalX(1e-3), kHistogramLeft + 183);  // two decades of seven: 182.9 px
  // The bin holding 2 s is the tallest: a bar just above the axis and near the top.
  const int x = intervalX(2.2);  // inside the bin of 2 s
  EXPECT_EQ(img.pixelColor(x, kHistogramBase - 2), kIntervalBar);
  EXPECT_EQ(img.pixelColor(x, kHistogramTop + 30), kIntervalBar);
  // No interval below 1 s: no bar at 1 ms, where the curve of a 0.5/s source is low.
  EXPECT_EQ(img.pixelColor(intervalX(1e-3), kHistogramBase - 30), kBg);
  bool curve = false;
  for (int y = kHistogramTop; y < kHistogramBase; ++y)
    curve |= img.pixelColor(intervalX(0.3), y) == kPoissonCurve;
  EXPECT_TRUE(curve);
  // The window redraws from its source.
  std::vector<double> intervals;
  PulseIntervalWindow window([&] { return intervals; });
  EXPECT_EQ(window.analysis().verdicts, std::vector<IntervalVerdict>{IntervalVerdict::TooFew});
  intervals.assign(500, 0.25);
  window.refresh();
  EXPECT_EQ(window.analysis().intervals, 500u);
  EXPECT_EQ(window.objectName(), "PulseIntervalForm");
  EXPECT_EQ(window.picture().pixelColor(intervalX(0.23), kHistogramBase - 2), kIntervalBar);
}

TEST(DoseBand, BoundsDrawnOnTheGraphsScale) {
  testApp();
  // Stage-2 limit 2.1: the scale's top is 3 μSv/h over 300 px, 100 px per μSv/h.
  std::array<float, 600> low{}, high{};
  IntervalHistory history;
  ReadingInterval interval;
  interval.doseLow = 0.5;
  interval.doseHigh = 1.5;
  for (int64_t s = 1; s <= 600; ++s) history.record(s, interval);
  QImage img(kGraphWidth, kGraphHeight, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  drawDoseBand(p, history.low(), history.high(), 600 % 600, "2.1");
  p.end();
  EXPECT_EQ(img.pixelColor(300, 300), kBandLine);  // 350 − 50
  EXPECT_EQ(img.pixelColor(300, 200), kBandLine);  // 350 − 150
  EXPECT_EQ(img.pixelColor(300, 250), QColor(Qt::white));
  // No scale, no band.
  img.fill(Qt::white);
  QPainter q(&img);
  drawDoseBand(q, low, high, 0, "abc");
  q.end();
  EXPECT_EQ(img.pixelColor(300, 350), QColor(Qt::white));
}

// The τ box of a correction that is off stays empty until the intervals give an
// estimate, then offers it and follows it as it changes; a τ typed or set is never
// replaced.
TEST(PulseIntervalWindow, OffersTheEstimateOnceTheIntervalsGiveOne) {
  testApp();
  std::vector<double> heard;
  PulseIntervalWindow view([&heard] { return heard; });
  view.showCounting({}, 499);
  EXPECT_EQ(view.deadTimeBox()->text(), "");
  std::mt19937_64 rng(3);
  std::exponential_distribution<double> wait(5000 / 60.0);
  const auto hear = [&](double deadTime) {
    heard.clear();
    for (int k = 0; k < 4096; ++k) heard.push_back(deadTime + wait(rng));
    view.refresh();
  };
  hear(1.6e-3);
  ASSERT_TRUE(view.estimate().enough);
  EXPECT_NEAR(view.deadTimeBox()->text().toDouble(), 1600, 30);
  hear(1.0e-3);
  EXPECT_NEAR(view.deadTimeBox()->text().toDouble(), 1000, 30) << "follows the estimate";
  view.deadTimeBox()->setText("1200");
  hear(1.6e-3);
  EXPECT_EQ(view.deadTimeBox()->text(), "1200");
  view.showCounting({250, false}, 499);
  view.refresh();
  EXPECT_EQ(view.deadTimeBox()->text(), "250");
  // The tick of alarms on evidence shows both rules' figures.
  const auto* tick = view.findChild<QCheckBox*>("checkAlarmOnEvidence");
  ASSERT_NE(tick, nullptr);
  EXPECT_TRUE(tick->toolTip().contains("30.4 %")) << tick->toolTip().toStdString();
}

}  // namespace radmon
