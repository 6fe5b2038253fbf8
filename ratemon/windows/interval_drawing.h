// The drawing of the pulse-interval view on any QPainter, so that a test can render it
// into an image: the histogram of the intervals between pulses on a logarithmic time
// axis, the exponential a random source gives over it, and what the shape says.
#pragma once

#include <QPainter>
#include <array>
#include <string>

#include "pulse_intervals.h"

namespace radmon {

inline constexpr int kIntervalViewWidth = 720;
inline constexpr int kIntervalViewHeight = 440;

// The plot area inside the view, in pixels.
inline constexpr int kHistogramLeft = 60;
inline constexpr int kHistogramRight = 700;
inline constexpr int kHistogramTop = 40;
inline constexpr int kHistogramBase = 280;

inline const QColor kIntervalBar{120, 150, 200};
inline const QColor kPoissonCurve{200, 0, 0};

// The x of an interval of `seconds` on the axis from kFirstBin to kLastBin.
int intervalX(double seconds);

// The lines of text under the histogram: the shortest interval and the dead time it
// implies, the rate, and one line of advice per verdict.
std::vector<std::string> intervalSummaryLines(const IntervalAnalysis& analysis);

// The 95 % band of the real-time graph over its bars: the lower and upper bounds of
// every second as two lines, on the scale `drawDoseGraph` uses for `limit2Text` (nothing
// when that scale cannot be made).
inline const QColor kBandLine{0, 0, 160};
void drawDoseBand(QPainter& painter, const std::array<float, 600>& low,
                  const std::array<float, 600>& high, int newestSlot,
                  const std::string& limit2Text);

void drawIntervalView(QPainter& painter, const IntervalAnalysis& analysis, const QColor& foreground,
                      const QColor& background);

}  // namespace radmon
