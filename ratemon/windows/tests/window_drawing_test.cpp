#include "window_drawing.h"

#include <QFont>
#include <QImage>

#include <gtest/gtest.h>

#include "number_text.h"
#include "qt_app.h"

namespace radmon {
namespace {

const QColor kFg(0, 0, 0);
const QColor kBg(240, 240, 240);

QImage graph(const std::array<float, 600>& history, int newest, const std::string& l1,
             const std::string& l2) {
  testApp();
  QImage img(kGraphWidth, kGraphHeight, QImage::Format_RGB32);
  QPainter p(&img);
  p.setFont(QFont());
  drawDoseGraph(p, history, newest, l1, l2, kFg, kBg);
  return img;
}

QColor at(const QImage& img, int x, int y) { return img.pixelColor(x, y); }

struct Spot {
  int x, y;
  QColor colour;
};
void expectColours(const QImage& img, std::initializer_list<Spot> spots) {
  for (const Spot& s : spots) EXPECT_EQ(at(img, s.x, s.y), s.colour) << "at " << s.x << "," << s.y;
}

// The label `text` drawn alone at (x, y) matches the graph in the label's box, left of
// the tick at x = 45.
bool labelDrawn(const QImage& img, int x, int y, const std::string& text) {
  QImage alone(img.size(), img.format());
  alone.fill(kBg);
  QPainter p(&alone);
  p.setFont(QFont());
  p.setPen(kFg);
  p.drawText(QRect(x, y, 400, 100), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
             QString::fromStdString(text));
  p.end();
  bool inked = false;
  for (int yy = y; yy < y + 14; ++yy)
    for (int xx = x; xx < 44; ++xx) {
      if (alone.pixelColor(xx, yy) != img.pixelColor(xx, yy)) return false;
      inked = inked || alone.pixelColor(xx, yy) != kBg;
    }
  return inked;
}

}  // namespace

TEST(DoseGraph, BarColoursUseStrictLimitsAndTheNewestSecondStandsAtTheAxis) {
  std::array<float, 600> h{};
  // Newest slot 10: x = 51 shows slot 10, x = 52 slot 9, ..., x = 61 slot 0, x = 62 slot 599.
  h[10] = 0.27f;  // equal to L1: green
  h[9] = 0.28f;   // above L1: yellow
  h[8] = 2.7f;    // equal to L2: yellow
  h[7] = 2.71f;   // above L2: red
  h[599] = 1.0f;  // wraps round the ring
  const QImage img = graph(h, 10, "0.27", "2.7");
  // K = 300 / 4 = 75 px per μSv/h.
  // The bar of slot 599 reaches 350 - 75 = 275, that of slot 7 350 - 75 * 2.71 = 146.75.
  expectColours(img, {{51, 349, kGreen},
                      {52, 349, kYellow},
                      {53, 349, kYellow},
                      {54, 349, kRed},
                      {62, 349, kYellow},
                      {62, 276, kYellow},
                      {62, 270, kBg},
                      {54, 148, kRed}});
  // The limit lines across the frame: stage 2 red at 350 - 202.5, stage 1 olive at 329.75.
  bool red = false, olive = false;
  for (int y = 145; y <= 150; ++y) red = red || at(img, 400, y) == kRed;
  for (int y = 328; y <= 331; ++y) olive = olive || at(img, 400, y) == kOlive;
  EXPECT_TRUE(red);
  EXPECT_TRUE(olive);
  // Axes, a bar of 0 as one pixel on the zero line, a time tick.
  expectColours(img, {{50, 60, kFg}, {50, 350, kFg}, {640, 350, kGreen}, {110, 358, kFg}});
  // With stage 1 above stage 2 no bar is yellow (V = 1, K = 300).
  std::array<float, 600> swapped{};
  swapped[0] = 1.0f;
  swapped[599] = 3.0f;
  expectColours(graph(swapped, 0, "2.0", "0.8"), {{51, 349, kRed}, {52, 349, kRed}});
}

TEST(DoseGraph, ScaleTopAndLabelsForTheDefaultLimitReadFourDownToPointEight) {
  const QImage img = graph({}, 0, "0.27", "2.7");
  const std::vector<std::pair<int, std::string>> labels = {
      {50, " 4 "}, {110, " 3.2 "}, {170, " 2.4 "}, {230, " 1.6 "}, {290, " .8 "}};
  for (const auto& [y, text] : labels) EXPECT_TRUE(labelDrawn(img, 20, y, text)) << text;
  EXPECT_FALSE(labelDrawn(img, 20, 290, " 0.8 "));
  EXPECT_EQ(axisLabelText(4 - 0.8 - 0.8), " 2.4 ");
  // 0.36 / 0.7 = 0.514... -> 1; 2.5 and 3.5 go to the even neighbour, and so does
  // exactly a half (0.35), to 0.
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"2.7", 4},   {"0.36", 1}, {"1.75", 2}, {"2.45", 4},
      {"0.35", {}}, {"0.2", {}}, {"abc", {}}, {"", {}}};
  for (const auto& [text, top] : cases) EXPECT_EQ(doseScaleTop(text), top) << text;
}

TEST(DoseGraph, UnusableStage2LimitDrawsTheFrameAndANoteInsteadOfBars) {
  std::array<float, 600> h;
  h.fill(0.5f);
  for (const std::string l2 : {"0.3", "x"}) {
    const QImage img = graph(h, 0, "0.27", l2);
    SCOPED_TRACE(l2);
    expectColours(img, {{50, 200, kFg}, {51, 349, kBg}, {300, 349, kBg}});
    int inked = 0;
    for (int y = 180; y < 196; ++y)
      for (int x = 70; x < 400; ++x) inked += at(img, x, y) != kBg;
    EXPECT_GT(inked, 50) << l2;
  }
}

TEST(PulseTrace, ThresholdLinesAndSamplesAtFifteenTwipsAPixel) {
  testApp();
  QImage img(kTraceWidthTwips / kTwipsPerPixel, kTraceHeightTwips / kTwipsPerPixel,
             QImage::Format_RGB32);
  std::vector<uint8_t> s(22050, 128);
  s[3001] = 20;  // odd index: drawn at x = 1501 twips -> pixel 100, y = 160 twips -> 10
  QPainter p(&img);
  drawPulseTrace(p, s, 50, 3, kFg, kBg);
  p.end();
  EXPECT_EQ(img.size(), QSize(721, 173));
  // Red at 47 * 8 = 376 twips (pixel 25), blue at 53 * 8 = 424 twips (pixel 28), both
  // from x = 0 to 11024.5 / 15 = 735: across the whole window.
  expectColours(img,
                {{5, 376 / 15, kRed}, {720, 376 / 15, kRed}, {400, 424 / 15, QColor(0, 0, 255)}});
  bool dip = false;  // 160 / 15 = 10.7
  for (int y = 9; y <= 12; ++y) dip = dip || at(img, 100, y) == kFg;
  EXPECT_TRUE(dip);
  EXPECT_EQ(at(img, 300, 1024 / 15), kFg);  // silence at 128 * 8 twips
  EXPECT_EQ(at(img, 300, 100), kBg);
}

}  // namespace radmon
