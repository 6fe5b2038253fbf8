// The drawings of ratemon's two extra windows, on any QPainter so that a test can
// render them into an image and read its pixels.
#pragma once

#include <QColor>
#include <QPainter>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace radmon {

// Real-time graph: client area in pixels.
inline constexpr int kGraphWidth = 719;
inline constexpr int kGraphHeight = 395;
// Pulse test: client area in twips and in pixels at 15 twips a pixel.
inline constexpr int kTraceWidthTwips = 10815;
inline constexpr int kTraceHeightTwips = 2595;
inline constexpr int kTwipsPerPixel = 15;

inline const QColor kOlive{128, 128, 0};
inline const QColor kGreen{0, 255, 0};
inline const QColor kYellow{255, 255, 0};
inline const QColor kRed{255, 0, 0};

// The top of the dose scale for a stage-2 limit: L2 / 0.7 rounded to a whole number,
// halves to the even neighbour. No value when the limit is no number or the top would
// be 0 (nothing can be scaled then).
std::optional<int> doseScaleTop(const std::string& limit2Text);

// The colour of a bar of `dose` μSv/h: green, yellow above L1, red above L2 (strictly;
// the stage-2 test wins).
QColor barColour(double dose, std::optional<double> limit1, std::optional<double> limit2);

// The whole chart of the last 600 seconds: axes, ticks and labels, the two limit lines,
// one bar per second, newest at x = 51. `history` is the dose ring, `newestSlot` the
// slot of the newest second. Where the scale cannot be made the frame is drawn with a
// note instead of bars.
void drawDoseGraph(QPainter& painter, const std::array<float, 600>& history, int newestSlot,
                   const std::string& limit1Text, const std::string& limit2Text,
                   const QColor& foreground, const QColor& background);

// One buffer of the pulse test, drawn in twips scaled to pixels: the red line at
// (threshold - dead band) x 8, the blue one at (threshold + dead band) x 8, and every
// second sample as a point.
void drawPulseTrace(QPainter& painter, const std::vector<uint8_t>& samples, int threshold,
                    int deadBand, const QColor& foreground, const QColor& background);

}  // namespace radmon
